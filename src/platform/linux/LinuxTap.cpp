#include "platform/linux/LinuxTap.h"

#include "platform/linux/EvdevKeyTable.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/epoll.h>
#include <unistd.h>
#include <utility>

namespace kestrune {

namespace {
thread_local const LinuxKeyboard* t_tapThreadOf = nullptr;

constexpr int kEpollBatch = 16;
// epoll tags for the two descriptors that are not keyboards.
char kWakeTag;
char kVirtualTag;
} // namespace

const LinuxKeyboard* tapThreadKeyboard()
{
    return t_tapThreadOf;
}

LinuxTap::~LinuxTap()
{
    shutdown();
    out_.setDevice(nullptr);
    virtual_.reset(); // the system drops the virtual keyboard; it holds nothing now
    devices_.clear();
    if (epoll_ >= 0)
        ::close(epoll_);
}

bool LinuxTap::open()
{
    auto fail = [this](const QString& why) {
        failureReason_ = why;
        return false;
    };
    // The reasons are shown in the panel, so they are in the user's language.
    auto systemError = [](const QString& what) {
        return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
    };
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    if (epoll_ < 0)
        return fail(systemError(QCoreApplication::translate("LinuxTap", "The event loop could not be made")));
    epoll_event wake{};
    wake.events = EPOLLIN;
    wake.data.ptr = &kWakeTag;
    if (epoll_ctl(epoll_, EPOLL_CTL_ADD, kb_.wakeFd_, &wake) < 0)
        return fail(systemError(QCoreApplication::translate("LinuxTap", "The event loop could not be made")));
    if (!kb_.activate(this))
        return fail(QCoreApplication::translate("LinuxTap", "An earlier tap is still running."));
    activated_ = true;

    int opened = 0;
    int denied = 0;
    for (const std::string& path : kb_.io_.keyboardPaths()) {
        switch (openDevice(path)) {
        case Opened::yes: ++opened; break;
        case Opened::denied: ++denied; break;
        case Opened::skipped: break;
        }
    }
    // No keyboard at all is no reason to fail: one may be plugged in later.
    // Denied everywhere is the missing permission, which says enough itself.
    if (denied > 0 && opened == 0)
        return false;

    std::optional<RepeatSettings> repeat;
    for (const auto& d : devices_)
        if ((repeat = d->io->repeat()))
            break;
    virtual_ = kb_.io_.createVirtualKeyboard(repeat);
    if (!virtual_)
        return fail(QCoreApplication::translate("LinuxTap", "The virtual keyboard could not be created through /dev/uinput."));
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.ptr = &kVirtualTag;
    if (epoll_ctl(epoll_, EPOLL_CTL_ADD, virtual_->fd(), &ev) < 0)
        return fail(systemError(QCoreApplication::translate("LinuxTap", "The virtual keyboard could not be watched")));
    out_.setDevice(virtual_.get());
    choices_ = kb_.takeChoices();
    review(); // grabs the keyboards to remap
    return true;
}

LinuxTap::Opened LinuxTap::openDevice(const std::string& path)
{
    EvdevIo::OpenError error = EvdevIo::OpenError::none;
    std::unique_ptr<EvdevDevice> io = kb_.io_.open(path, &error);
    if (!io)
        return error == EvdevIo::OpenError::denied ? Opened::denied : Opened::skipped;
    auto d = std::make_unique<Device>();
    d->path = path;
    d->io = std::move(io);
    d->identity = d->io->identity();
    d->remap = false; // until review() has looked its choice up
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.ptr = d.get();
    if (epoll_ctl(epoll_, EPOLL_CTL_ADD, d->io->fd(), &ev) < 0)
        return Opened::skipped;
    if (!ledsKnown_) {
        leds_ = d->io->initialLeds();
        ledsKnown_ = true;
        kb_.capsLed_.store((leds_ >> LED_CAPSL) & 1u, std::memory_order_release);
    }
    devices_.push_back(std::move(d));
    rosterChanged_ = true;
    return Opened::yes;
}

// Grabs once no key is down. The state is read again after the grab: a key
// pressed in between went to the rest of the system, which must then also
// see it come up, so the grab is let go and tried again on the next event.
void LinuxTap::tryGrab(Device& d)
{
    if (d.grabbed || d.gone || !d.remap || d.io->anyKeyDown())
        return;
    if (!d.io->grab()) {
        // Another process holds it and we would never see its events; a
        // later rescan tries again.
        vanish(d);
        return;
    }
    if (d.io->anyKeyDown()) {
        d.io->ungrab();
        return;
    }
    d.grabbed = true;
    d.held.reset();
    d.madeUp.reset();
    d.scanned = false;
    d.io->setLeds(leds_);
}

// The engine sees a vanished keyboard's keys come up: ordinary keys first,
// then Caps Lock, then the modifiers, as a chord ends. Nothing it held stays
// held anywhere.
void LinuxTap::vanish(Device& d)
{
    if (d.gone)
        return;
    epoll_ctl(epoll_, EPOLL_CTL_DEL, d.io->fd(), nullptr);
    if (d.grabbed)
        releaseEnded(d, d.held);
    d.gone = true;
    rosterChanged_ = true;
}

// Its held keys end in the engine (never a lone tap) and come up on the
// virtual keyboard; from now on the desktop reads it directly, and sees the
// keys still down there come up when they are let go.
void LinuxTap::leaveAlone(Device& d)
{
    if (!d.grabbed)
        return;
    endMadeUp(d);
    releaseEnded(d, d.held);
    d.io->ungrab();
    d.grabbed = false;
}

void LinuxTap::review()
{
    rosterChanged_ = false;
    std::vector<Device*> present;
    std::vector<KeyboardIdentity> identities;
    for (const auto& d : devices_) {
        if (!d->gone) {
            present.push_back(d.get());
            identities.push_back(d->identity);
        }
    }
    std::vector<PresentKeyboard> roster = rosterOf(identities);
    for (size_t i = 0; i < present.size(); ++i) {
        Device& d = *present[i];
        d.remap = !choices_ || choices_->remaps(roster[i]);
        roster[i].remapped = d.remap;
        if (d.remap)
            tryGrab(d);
        else
            leaveAlone(d);
    }
    out_.flush();
    kb_.publish(std::move(roster));
}

// Releases `keys` (a copy is taken: onKey changes d.held) as ended rather
// than let go: never a lone tap.
void LinuxTap::releaseEnded(Device& d, const std::bitset<KEY_CNT>& keys)
{
    const std::bitset<KEY_CNT> ending = keys & d.held;
    for (unsigned code = 1; code < KEY_CNT; ++code)
        if (ending[code] && code != KEY_CAPSLOCK && evdev::modifierIndex(code) < 0)
            onKey(d, code, 0, true);
    if (ending[KEY_CAPSLOCK])
        onKey(d, KEY_CAPSLOCK, 0, true);
    for (uint16_t code : evdev::kModifierKeys)
        if (ending[code])
            onKey(d, code, 0, true);
}

void LinuxTap::endMadeUp(Device& d)
{
    if (d.madeUp.none())
        return;
    releaseEnded(d, d.madeUp);
    d.madeUp.reset();
}

void LinuxTap::reap()
{
    std::erase_if(devices_, [](const std::unique_ptr<Device>& d) { return d->gone; });
}

void LinuxTap::rescan()
{
    for (const std::string& path : kb_.io_.keyboardPaths()) {
        auto it = std::find_if(devices_.begin(), devices_.end(),
                               [&](const std::unique_ptr<Device>& d) { return !d->gone && d->path == path; });
        if (it != devices_.end()) {
            if ((*it)->io->stillAt(path))
                continue;
            vanish(**it); // replaced under the same name before we noticed
        }
        openDevice(path);
    }
}

void LinuxTap::run()
{
    t_tapThreadOf = &kb_;
    drainQueue(); // posted while the tap was being set up
    out_.flush();
    std::array<epoll_event, kEpollBatch> events{};
    while (!stopRequested_.load(std::memory_order_acquire)) {
        const int n = epoll_wait(epoll_, events.data(), kEpollBatch, -1);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        bool control = false;
        bool system = false;
        for (int i = 0; i < n; ++i) {
            void* tag = events[static_cast<size_t>(i)].data.ptr;
            if (tag == &kWakeTag)
                control = true;
            else if (tag == &kVirtualTag)
                system = true;
            else if (auto* d = static_cast<Device*>(tag); !d->gone)
                serviceDevice(*d);
        }
        if (system)
            serviceVirtual();
        if (control)
            serviceControl();
        out_.flush();
        if (rosterChanged_)
            review();
        reap();
    }
    t_tapThreadOf = nullptr;
    shutdown();
}

void LinuxTap::shutdown()
{
    if (shutDown_)
        return;
    shutDown_ = true;
    if (activated_)
        kb_.deactivate(this); // posts from now on are dropped
    out_.releaseAll();
    out_.flush();
    for (const auto& d : devices_) {
        if (d->grabbed && !d->gone) {
            d->io->ungrab();
            d->grabbed = false;
        }
    }
}

void LinuxTap::serviceDevice(Device& d)
{
    while (!d.gone) {
        const int n = d.io->read(buffer_);
        if (n == 0 || n == -EAGAIN)
            break;
        if (n == -EINTR)
            continue;
        if (n < 0) {
            vanish(d);
            return;
        }
        // A keyboard not grabbed yet: its events went to the system as well.
        if (d.grabbed) {
            for (int i = 0; i < n; ++i)
                handleDeviceEvent(d, buffer_[static_cast<size_t>(i)]);
        }
        if (static_cast<size_t>(n) < buffer_.size())
            break;
    }
    // The kernel hands out whole frames, so its releases end with their
    // SYN_REPORT; should one not come, they are not kept waiting for it.
    if (!d.gone)
        endMadeUp(d);
    if (!d.grabbed)
        tryGrab(d);
}

// A keyboard that goes away (unplugged, switched off, out of range) does not
// report its keys coming up; the kernel releases them itself, as ordinary
// releases and before reads fail with ENODEV, so the tap usually reads them
// while the keyboard still seems present. It does the same when a driver
// resets a keyboard (on resume). Those releases carry no scan code, while
// the drivers of real keyboards (USB, Bluetooth, AT) report one just before
// every key they press or release: a key pressed with a scan code and
// released without one is ended instead of let go, so a Caps Lock or Super
// key held while its keyboard is unplugged is no lone tap. Keys that come
// without scan codes (other programs' virtual keyboards, keys a driver
// translates itself, as hid-apple's Fn layer does) are judged by ENODEV alone.
void LinuxTap::handleDeviceEvent(Device& d, const input_event& e)
{
    if (e.type == EV_MSC && e.code == MSC_SCAN) {
        d.scanned = true;
        return;
    }
    if (e.type == EV_SYN && e.code == SYN_REPORT) {
        d.scanned = false;
        endMadeUp(d);
        return;
    }
    if (e.type != EV_KEY || e.code >= KEY_CNT)
        return;
    const bool scanned = std::exchange(d.scanned, false);
    if (e.value == 1 && !d.held[e.code])
        d.pressScanned[e.code] = scanned;
    if (e.value == 0 && !scanned && d.pressScanned[e.code] && d.held[e.code]) {
        d.madeUp.set(e.code); // ended together at the frame's end, in chord order
        return;
    }
    onKey(d, e.code, e.value);
}

// LEDs the system set on the virtual keyboard go on to the grabbed keyboards,
// which no one else can reach while we hold them.
void LinuxTap::serviceVirtual()
{
    if (!virtual_)
        return;
    bool changed = false;
    for (;;) {
        const int n = virtual_->read(buffer_);
        if (n <= 0)
            break;
        for (int i = 0; i < n; ++i) {
            const input_event& e = buffer_[static_cast<size_t>(i)];
            if (e.type != EV_LED || e.code >= 32)
                continue;
            const unsigned bit = 1u << e.code;
            const unsigned next = e.value ? (leds_ | bit) : (leds_ & ~bit);
            changed |= next != leds_;
            leds_ = next;
        }
        if (static_cast<size_t>(n) < buffer_.size())
            break;
    }
    if (!changed)
        return;
    ledsKnown_ = true;
    kb_.capsLed_.store((leds_ >> LED_CAPSL) & 1u, std::memory_order_release);
    for (const auto& d : devices_)
        if (d->grabbed && !d->gone)
            d->io->setLeds(leds_);
}

void LinuxTap::serviceControl()
{
    uint64_t value = 0;
    while (::read(kb_.wakeFd_, &value, sizeof value) < 0 && errno == EINTR) {
    }
    if (kb_.rescanRequested_.exchange(false, std::memory_order_acq_rel))
        rescan();
    if (auto choices = kb_.takeChoices()) {
        choices_ = std::move(choices);
        rosterChanged_ = true;
    }
    if (rosterChanged_)
        review();
    if (kb_.releaseRequested_.exchange(false, std::memory_order_acq_rel)) {
        // Before sleep: the engine forgets what is held (a key released
        // while the machine sleeps never comes up), then whatever it still
        // holds out here is released.
        handler_.resetKeyState();
        drainQueue();
        out_.releaseAll();
    }
    drainQueue();
    if (const uint64_t ticket = kb_.fenceRequested()) {
        drainDevices();
        if (rosterChanged_)
            review();
        serviceVirtual();
        drainQueue();
        out_.flush();
        kb_.fenceReached(ticket);
    }
}

void LinuxTap::drainDevices()
{
    for (size_t i = 0; i < devices_.size(); ++i)
        if (!devices_[i]->gone)
            serviceDevice(*devices_[i]);
}

void LinuxTap::onKey(Device& d, unsigned code, int value, bool gone)
{
    if (value == 2) {
        onRepeat(d, code);
        return;
    }
    const bool down = value != 0;
    // A press seen twice, or the release of a key that went down before the
    // grab (after a lost buffer), changes nothing.
    if (d.held[code] == down)
        return;
    d.held[code] = down;
    // Only the first press and the last release over all keyboards count.
    uint8_t& holds = holds_[code];
    if (down ? holds++ > 0 : (holds == 0 || --holds > 0))
        return;
    const int modifier = evdev::modifierIndex(code);
    if (modifier >= 0)
        out_.setPhysicalModifier(modifier, down);
    const bool on = enabled();
    if (code == KEY_CAPSLOCK && down)
        capsAsF19_ = on && kb_.mapping_.toF19();
    if (!on) {
        out_.raw(static_cast<int>(code), down);
        return;
    }

    const uint64_t flags = out_.physicalFlags();
    const int direction = down ? 1 : 0;
    auto event = [&](EventType type, KeyCode key) {
        KeyEvent e{type, key, flags, 0};
        e.deviceGone = gone;
        return e;
    };
    if (modifier >= 0) {
        deliver(event(EventType::FlagsChanged, evdev::macKeyFor(code)), direction);
        return;
    }
    if (code == KEY_CAPSLOCK) {
        if (capsAsF19_)
            deliver(event(down ? EventType::KeyDown : EventType::KeyUp, kc::kVK_F19), direction);
        else
            deliver(event(EventType::FlagsChanged, kc::kVK_CapsLock), direction);
        return;
    }
    const KeyCode mac = evdev::macKeyFor(code);
    if (mac < 0) {
        out_.raw(static_cast<int>(code), down); // no such key on a Mac: straight through
        return;
    }
    deliver(event(down ? EventType::KeyDown : EventType::KeyUp, mac), direction);
}

// The engine sees a repeat as another key-down; the virtual keyboard repeats
// by itself, so nothing new is written for a key it holds.
void LinuxTap::onRepeat(Device& d, unsigned code)
{
    if (!d.held[code] || !enabled() || evdev::modifierIndex(code) >= 0)
        return;
    KeyCode mac = -1;
    if (code == KEY_CAPSLOCK) {
        if (!capsAsF19_)
            return; // a lock key does not repeat
        mac = kc::kVK_F19;
    } else {
        mac = evdev::macKeyFor(code);
    }
    if (mac >= 0)
        deliver({EventType::KeyDown, mac, out_.physicalFlags(), 0, /*autorepeat=*/true}, 1);
}

void LinuxTap::deliver(KeyEvent event, int direction)
{
    if (!wants(event.type) || handler_.handleEvent(event))
        write(event, direction);
    drainQueue();
}

// `direction` is the press (1) or release (0) behind a flags-changed event;
// -1 for posted events, which toggle the key.
void LinuxTap::write(const KeyEvent& event, int direction)
{
    const int code = evdev::evdevKeyFor(event.keyCode);
    if (code < 0)
        return;
    switch (event.type) {
    case EventType::KeyDown: out_.keyDown(code, event.flags); break;
    case EventType::KeyUp: out_.keyUp(code); break;
    case EventType::FlagsChanged: out_.raw(code, direction >= 0 ? direction > 0 : !out_.isDown(code)); break;
    default: break;
    }
}

void LinuxTap::drainQueue()
{
    LinuxKeyboard::Item item;
    // Bounded, so a handler that keeps posting cannot hold the thread here.
    for (size_t n = 0; n < LinuxKeyboard::kQueueCapacity && kb_.pop(item); ++n) {
        if (item.kind == LinuxKeyboard::Item::Kind::capsLock) {
            applyCapsLock(item.on);
            continue;
        }
        if (item.kind == LinuxKeyboard::Item::Kind::rawTap) {
            out_.tap(item.event.keyCode);
            continue;
        }
        KeyEvent event = item.event;
        if (!enabled() || !wants(event.type) || handler_.handleEvent(event))
            write(event, -1);
    }
}

void LinuxTap::applyCapsLock(bool on)
{
    if (kb_.capsLed_.load(std::memory_order_acquire) == (on ? 1 : 0))
        return;
    // Believed at once; the LED the system sets in answer confirms it.
    if (out_.tap(KEY_CAPSLOCK))
        kb_.capsLed_.store(on ? 1 : 0, std::memory_order_release);
}

} // namespace kestrune
