#include "platform/linux/PipeEvdevIo.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

namespace kestrune {

namespace {

// Whole events per write, within PIPE_BUF so that each write is atomic and
// a reader never sees part of an event from a keyboard pipe.
constexpr size_t kEventsPerWrite = PIPE_BUF / sizeof(input_event);
constexpr int kOutputPipeSize = 1 << 20;

void writeAll(int fd, const void* data, size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        bytes += n;
        size -= static_cast<size_t>(n);
    }
}

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

int readEvents(int fd, std::span<input_event> out)
{
    for (;;) {
        const ssize_t n = ::read(fd, out.data(), out.size_bytes());
        if (n >= 0)
            return static_cast<int>(static_cast<size_t>(n) / sizeof(input_event));
        if (errno == EINTR)
            continue;
        return errno == EAGAIN ? 0 : -errno;
    }
}

} // namespace

// --- Keyboards ----------------------------------------------------------------

PipeKeyboard::PipeKeyboard(std::string path)
    : path_(std::move(path))
{
    identity_ = {BUS_USB, 0, 0, path_, {}};
    int fds[2] = {-1, -1};
    if (pipe2(fds, O_CLOEXEC) == 0) {
        readFd_ = fds[0];
        writeFd_ = fds[1];
        fcntl(readFd_, F_SETFL, O_NONBLOCK);
    }
}

PipeKeyboard::~PipeKeyboard()
{
    closeFd(readFd_);
    closeFd(writeFd_);
}

void PipeKeyboard::send(std::span<const input_event> events)
{
    if (vanished())
        return;
    std::lock_guard lock(mutex_);
    for (const input_event& e : events)
        if (e.type == EV_KEY && e.code < KEY_CNT && e.value != 2)
            keys_[e.code] = e.value != 0;
    if (opened_ == 0)
        return;
    for (size_t at = 0; at < events.size(); at += kEventsPerWrite) {
        const size_t n = std::min(kEventsPerWrite, events.size() - at);
        writeAll(writeFd_, events.data() + at, n * sizeof(input_event));
    }
}

void PipeKeyboard::key(uint16_t code, int value)
{
    const input_event events[] = {
        {{}, EV_MSC, MSC_SCAN, 0x70000 + code},
        {{}, EV_KEY, code, value},
        {{}, EV_SYN, SYN_REPORT, 0},
    };
    send(events);
}

void PipeKeyboard::releaseHeld()
{
    std::bitset<KEY_CNT> held;
    {
        std::lock_guard lock(mutex_);
        held = keys_;
    }
    std::vector<input_event> events;
    for (unsigned code = 0; code < KEY_CNT; ++code)
        if (held[code])
            events.push_back({{}, EV_KEY, static_cast<uint16_t>(code), 0});
    if (events.empty())
        return;
    events.push_back({{}, EV_SYN, SYN_REPORT, 0});
    send(events);
}

void PipeKeyboard::vanish()
{
    if (vanished())
        return;
    releaseHeld();
    if (vanished_.exchange(true, std::memory_order_acq_rel))
        return;
    closeFd(writeFd_); // wakes a reader: the read end reports hang-up
}

bool PipeKeyboard::isGrabbed() const
{
    std::lock_guard lock(mutex_);
    return grabbed_;
}

int PipeKeyboard::grabCount() const
{
    std::lock_guard lock(mutex_);
    return grabs_;
}

unsigned PipeKeyboard::leds() const
{
    std::lock_guard lock(mutex_);
    return leds_;
}

class PipeDevice final : public EvdevDevice {
public:
    explicit PipeDevice(std::shared_ptr<PipeKeyboard> keyboard)
        : kb_(std::move(keyboard))
    {
        std::lock_guard lock(kb_->mutex_);
        ++kb_->opened_;
    }
    ~PipeDevice() override
    {
        ungrab();
        std::lock_guard lock(kb_->mutex_);
        if (--kb_->opened_ > 0 || kb_->vanished())
            return;
        // The last reader closed it: what it did not read is gone with it.
        input_event discard[64];
        while (readEvents(kb_->readFd_, discard) > 0) {
        }
    }

    int fd() const override { return kb_->readFd_; }

    bool grab() override
    {
        std::lock_guard lock(kb_->mutex_);
        if (kb_->grabRefused_ || kb_->grabbed_)
            return false;
        kb_->grabbed_ = true;
        ++kb_->grabs_;
        grabbed_ = true;
        return true;
    }

    void ungrab() override
    {
        if (!grabbed_)
            return;
        std::lock_guard lock(kb_->mutex_);
        kb_->grabbed_ = false;
        grabbed_ = false;
    }

    int read(std::span<input_event> out) override
    {
        if (kb_->vanished())
            return -ENODEV;
        const int n = readEvents(kb_->readFd_, out);
        return n == 0 && kb_->vanished() ? -ENODEV : n;
    }

    bool anyKeyDown() override
    {
        std::lock_guard lock(kb_->mutex_);
        return kb_->keys_.any();
    }

    unsigned initialLeds() override { return kb_->initialLeds_; }

    void setLeds(unsigned leds) override
    {
        if (kb_->readOnly_)
            return; // EBADF: a descriptor opened for reading alone
        std::lock_guard lock(kb_->mutex_);
        kb_->leds_ = leds;
    }

    std::optional<RepeatSettings> repeat() override { return kb_->repeat_; }
    KeyboardIdentity identity() override { return kb_->identity_; }
    bool stillAt(const std::string& path) override { return path == kb_->path_ && !kb_->vanished(); }

private:
    std::shared_ptr<PipeKeyboard> kb_;
    bool grabbed_ = false;
};

// --- The virtual keyboard -------------------------------------------------------

struct PipeEvdevIo::VirtualState {
    int outRead = -1;  // what the tap wrote: read by the driving side
    int outWrite = -1; // closed when the virtual keyboard is destroyed
    int inRead = -1;   // what the system sent: read by the tap
    int inWrite = -1;
    std::optional<RepeatSettings> repeat;
    std::atomic<bool> destroyed{false};

    ~VirtualState()
    {
        closeFd(outRead);
        closeFd(outWrite);
        closeFd(inRead);
        closeFd(inWrite);
    }
};

namespace {
class PipeVirtualKeyboard final : public VirtualKeyboardDevice {
public:
    explicit PipeVirtualKeyboard(std::shared_ptr<PipeEvdevIo::VirtualState> state)
        : state_(std::move(state))
    {
    }
    ~PipeVirtualKeyboard() override
    {
        closeFd(state_->outWrite);
        state_->destroyed.store(true, std::memory_order_release);
    }

    int fd() const override { return state_->inRead; }
    bool write(std::span<const input_event> events) override
    {
        writeAll(state_->outWrite, events.data(), events.size_bytes());
        return true;
    }
    int read(std::span<input_event> out) override { return readEvents(state_->inRead, out); }

private:
    std::shared_ptr<PipeEvdevIo::VirtualState> state_;
};
} // namespace

// --- The io -------------------------------------------------------------------------

PipeEvdevIo::PipeEvdevIo() = default;
PipeEvdevIo::~PipeEvdevIo() = default;

PipeKeyboard& PipeEvdevIo::addKeyboard(const std::string& path)
{
    auto keyboard = std::make_shared<PipeKeyboard>(path);
    std::lock_guard lock(mutex_);
    keyboards_.push_back(keyboard);
    return *keyboard;
}

void PipeEvdevIo::setUinputAllowed(bool allowed)
{
    std::lock_guard lock(mutex_);
    uinputAllowed_ = allowed;
}

std::vector<std::string> PipeEvdevIo::keyboardPaths()
{
    std::lock_guard lock(mutex_);
    std::vector<std::string> paths;
    for (const auto& kb : keyboards_)
        if (!kb->vanished())
            paths.push_back(kb->path());
    return paths;
}

std::unique_ptr<EvdevDevice> PipeEvdevIo::open(const std::string& path, OpenError* error)
{
    std::shared_ptr<PipeKeyboard> found;
    {
        std::lock_guard lock(mutex_);
        for (const auto& kb : keyboards_)
            if (kb->path() == path && !kb->vanished())
                found = kb;
    }
    OpenError result = OpenError::none;
    if (!found)
        result = OpenError::gone;
    else if (found->denied())
        result = OpenError::denied;
    if (error)
        *error = result;
    if (result != OpenError::none)
        return nullptr;
    return std::make_unique<PipeDevice>(found);
}

std::unique_ptr<VirtualKeyboardDevice> PipeEvdevIo::createVirtualKeyboard(const std::optional<RepeatSettings>& repeat)
{
    std::lock_guard lock(mutex_);
    ++virtualAttempts_;
    if (!uinputAllowed_ || virtualFails_)
        return nullptr;
    auto state = std::make_shared<VirtualState>();
    int out[2];
    int in[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return nullptr;
    state->outRead = out[0];
    state->outWrite = out[1];
    if (pipe2(in, O_CLOEXEC) != 0)
        return nullptr;
    state->inRead = in[0];
    state->inWrite = in[1];
    fcntl(state->outRead, F_SETFL, O_NONBLOCK);
    fcntl(state->inRead, F_SETFL, O_NONBLOCK);
    fcntl(state->outWrite, F_SETPIPE_SZ, kOutputPipeSize);
    state->repeat = repeat;
    virtuals_.push_back(state);
    return std::make_unique<PipeVirtualKeyboard>(state);
}

void PipeEvdevIo::setVirtualKeyboardFails(bool fails)
{
    std::lock_guard lock(mutex_);
    virtualFails_ = fails;
}

int PipeEvdevIo::virtualKeyboardAttempts() const
{
    std::lock_guard lock(mutex_);
    return virtualAttempts_;
}

bool PipeEvdevIo::canCreateVirtualKeyboard()
{
    std::lock_guard lock(mutex_);
    return uinputAllowed_;
}

int PipeEvdevIo::virtualKeyboardsCreated() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(virtuals_.size());
}

bool PipeEvdevIo::hasVirtualKeyboard() const
{
    std::lock_guard lock(mutex_);
    return !virtuals_.empty() && !virtuals_.back()->destroyed.load(std::memory_order_acquire);
}

std::optional<RepeatSettings> PipeEvdevIo::lastVirtualRepeat() const
{
    std::lock_guard lock(mutex_);
    return virtuals_.empty() ? std::nullopt : virtuals_.back()->repeat;
}

std::vector<input_event> PipeEvdevIo::takeOutput()
{
    std::vector<std::shared_ptr<VirtualState>> states;
    {
        std::lock_guard lock(mutex_);
        states = virtuals_;
    }
    std::vector<input_event> events;
    char chunk[1 << 14];
    for (const auto& state : states) {
        for (;;) {
            const ssize_t n = ::read(state->outRead, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            partial_.insert(partial_.end(), chunk, chunk + n);
            const size_t whole = partial_.size() / sizeof(input_event);
            const size_t first = events.size();
            events.resize(first + whole);
            std::copy_n(partial_.data(), whole * sizeof(input_event), reinterpret_cast<char*>(events.data() + first));
            partial_.erase(partial_.begin(), partial_.begin() + static_cast<ptrdiff_t>(whole * sizeof(input_event)));
        }
    }
    return events;
}

int PipeEvdevIo::outputFd() const
{
    std::lock_guard lock(mutex_);
    return virtuals_.empty() ? -1 : virtuals_.back()->outRead;
}

void PipeEvdevIo::sendToVirtual(std::span<const input_event> events)
{
    std::shared_ptr<VirtualState> state;
    {
        std::lock_guard lock(mutex_);
        if (virtuals_.empty())
            return;
        state = virtuals_.back();
    }
    writeAll(state->inWrite, events.data(), events.size_bytes());
}

} // namespace kestrune
