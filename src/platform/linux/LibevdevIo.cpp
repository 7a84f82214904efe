#include "platform/linux/LibevdevIo.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <libudev.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrune {

namespace {

constexpr const char* kUinputPath = "/dev/uinput";
constexpr unsigned kLedCount = LED_KANA + 1; // the LEDs keyboards have: Num, Caps, Scroll, Compose, Kana
constexpr const char* kEventPrefix = "/dev/input/event";

int eventNumber(const std::string& path)
{
    return std::atoi(path.c_str() + std::strlen(kEventPrefix));
}

bool isEventNode(const char* path)
{
    return path && std::strncmp(path, kEventPrefix, std::strlen(kEventPrefix)) == 0;
}

// Keys the virtual keyboard offers: every keyboard key, none of the button
// ranges (those would make it look like a mouse or a joystick).
bool isKeyboardKey(unsigned code)
{
    if (code == KEY_RESERVED || code >= KEY_CNT)
        return false;
    if (code >= BTN_MISC && code < KEY_OK)
        return false;
    if (code >= BTN_DPAD_UP && code <= BTN_DPAD_RIGHT)
        return false;
    if (code >= BTN_TRIGGER_HAPPY && code <= BTN_TRIGGER_HAPPY40)
        return false;
    return true;
}

ssize_t writeAll(int fd, const void* data, size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

class LibevdevDevice final : public EvdevDevice {
public:
    LibevdevDevice(int fd, libevdev* dev)
        : fd_(fd)
        , dev_(dev)
    {
    }
    ~LibevdevDevice() override
    {
        libevdev_free(dev_);
        ::close(fd_);
    }

    int fd() const override { return fd_; }
    bool grab() override { return libevdev_grab(dev_, LIBEVDEV_GRAB) == 0; }
    void ungrab() override { libevdev_grab(dev_, LIBEVDEV_UNGRAB); }

    int read(std::span<input_event> out) override
    {
        size_t n = 0;
        while (n < out.size()) {
            input_event ev{};
            const int rc = libevdev_next_event(dev_, syncing_ ? LIBEVDEV_READ_FLAG_SYNC : LIBEVDEV_READ_FLAG_NORMAL, &ev);
            if (rc == LIBEVDEV_READ_STATUS_SUCCESS) {
                out[n++] = ev;
            } else if (rc == LIBEVDEV_READ_STATUS_SYNC) {
                // The kernel dropped events: libevdev hands over the changes
                // that bring its state up to date, after the SYN_DROPPED.
                if (syncing_)
                    out[n++] = ev;
                syncing_ = true;
            } else if (rc == -EAGAIN) {
                if (!syncing_)
                    break;
                syncing_ = false; // the sync is complete; back to normal events
            } else {
                return n > 0 ? static_cast<int>(n) : rc;
            }
        }
        return static_cast<int>(n);
    }

    bool anyKeyDown() override
    {
        unsigned long bits[(KEY_CNT + CHAR_BIT * sizeof(unsigned long) - 1) / (CHAR_BIT * sizeof(unsigned long))] = {};
        if (ioctl(fd_, EVIOCGKEY(sizeof bits), bits) < 0)
            return false;
        return std::any_of(std::begin(bits), std::end(bits), [](unsigned long b) { return b != 0; });
    }

    unsigned initialLeds() override
    {
        unsigned leds = 0;
        for (unsigned led = 0; led < kLedCount; ++led)
            if (libevdev_has_event_code(dev_, EV_LED, led) && libevdev_get_event_value(dev_, EV_LED, led))
                leds |= 1u << led;
        return leds;
    }

    void setLeds(unsigned leds) override
    {
        input_event events[kLedCount + 1] = {};
        size_t n = 0;
        for (unsigned led = 0; led < kLedCount; ++led)
            if (libevdev_has_event_code(dev_, EV_LED, led))
                events[n++] = input_event{{}, EV_LED, static_cast<uint16_t>(led), (leds >> led) & 1 ? 1 : 0};
        if (n == 0)
            return;
        events[n++] = input_event{{}, EV_SYN, SYN_REPORT, 0};
        writeAll(fd_, events, n * sizeof(input_event));
    }

    std::optional<RepeatSettings> repeat() override
    {
        int delay = 0;
        int period = 0;
        if (libevdev_get_repeat(dev_, &delay, &period) != 0 || delay <= 0 || period <= 0)
            return std::nullopt;
        return RepeatSettings{delay, period};
    }

    KeyboardIdentity identity() override
    {
        auto text = [](const char* s) { return s ? std::string(s) : std::string(); };
        return {static_cast<uint16_t>(libevdev_get_id_bustype(dev_)), static_cast<uint16_t>(libevdev_get_id_vendor(dev_)),
                static_cast<uint16_t>(libevdev_get_id_product(dev_)), text(libevdev_get_name(dev_)),
                text(libevdev_get_phys(dev_))};
    }
    bool stillAt(const std::string& path) override
    {
        struct stat held {};
        struct stat named {};
        if (fstat(fd_, &held) != 0 || stat(path.c_str(), &named) != 0)
            return false;
        return held.st_rdev == named.st_rdev && held.st_ino == named.st_ino;
    }

private:
    int fd_;
    libevdev* dev_;
    bool syncing_ = false;
};

class UinputKeyboard final : public VirtualKeyboardDevice {
public:
    UinputKeyboard(libevdev* prototype, libevdev_uinput* uinput)
        : prototype_(prototype)
        , uinput_(uinput)
    {
    }
    ~UinputKeyboard() override
    {
        libevdev_uinput_destroy(uinput_);
        libevdev_free(prototype_);
    }

    int fd() const override { return libevdev_uinput_get_fd(uinput_); }

    bool write(std::span<const input_event> events) override
    {
        return writeAll(fd(), events.data(), events.size_bytes()) >= 0;
    }

    int read(std::span<input_event> out) override
    {
        for (;;) {
            const ssize_t n = ::read(fd(), out.data(), out.size_bytes());
            if (n >= 0)
                return static_cast<int>(static_cast<size_t>(n) / sizeof(input_event));
            if (errno == EINTR)
                continue;
            return errno == EAGAIN ? 0 : -errno;
        }
    }

private:
    libevdev* prototype_;
    libevdev_uinput* uinput_;
};

std::vector<std::string> udevKeyboards()
{
    std::vector<std::string> paths;
    udev* context = udev_new();
    if (!context)
        return paths;
    udev_enumerate* enumerate = udev_enumerate_new(context);
    if (enumerate) {
        udev_enumerate_add_match_subsystem(enumerate, "input");
        udev_enumerate_add_match_property(enumerate, "ID_INPUT_KEYBOARD", "1");
        udev_enumerate_scan_devices(enumerate);
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
        {
            udev_device* device = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
            if (!device)
                continue;
            const char* node = udev_device_get_devnode(device);
            udev_device* parent = udev_device_get_parent_with_subsystem_devtype(device, "input", nullptr);
            const char* name = parent ? udev_device_get_sysattr_value(parent, "name") : nullptr;
            if (isEventNode(node) && !(name && std::strcmp(name, kVirtualKeyboardName) == 0))
                paths.emplace_back(node);
            udev_device_unref(device);
        }
        udev_enumerate_unref(enumerate);
    }
    udev_unref(context);
    return paths;
}

std::vector<std::string> allEventNodes()
{
    std::vector<std::string> paths;
    DIR* dir = opendir("/dev/input");
    if (!dir)
        return paths;
    while (const dirent* entry = readdir(dir))
        if (std::strncmp(entry->d_name, "event", 5) == 0)
            paths.push_back(std::string("/dev/input/") + entry->d_name);
    closedir(dir);
    return paths;
}

bool looksLikeKeyboard(const libevdev* dev)
{
    if (!libevdev_has_event_type(dev, EV_KEY) || libevdev_has_event_type(dev, EV_REL)
        || libevdev_has_event_type(dev, EV_ABS))
        return false;
    const char* name = libevdev_get_name(dev);
    if (name && std::strcmp(name, kVirtualKeyboardName) == 0)
        return false;
    // The test udev applies: some key among Escape … D.
    for (unsigned code = KEY_ESC; code <= KEY_D; ++code)
        if (libevdev_has_event_code(dev, EV_KEY, code))
            return true;
    return false;
}

} // namespace

std::vector<std::string> LibevdevIo::keyboardPaths()
{
    // Without a udev database (a container, an early boot) every event node
    // is offered; open() keeps only keyboards.
    std::vector<std::string> paths = udevKeyboards();
    if (paths.empty())
        paths = allEventNodes();
    std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        return eventNumber(a) < eventNumber(b);
    });
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    return paths;
}

std::unique_ptr<EvdevDevice> LibevdevIo::open(const std::string& path, OpenError* error)
{
    auto fail = [&](OpenError e) -> std::unique_ptr<EvdevDevice> {
        if (error)
            *error = e;
        return nullptr;
    };
    // Write access is what sets a keyboard's LEDs: while it is grabbed, the
    // desktop's LED changes reach only the virtual keyboard, and the tap
    // passes them on.
    int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(errno == EACCES || errno == EPERM ? OpenError::denied : OpenError::gone);
    libevdev* dev = nullptr;
    if (libevdev_new_from_fd(fd, &dev) < 0) {
        ::close(fd);
        return fail(OpenError::gone);
    }
    if (!looksLikeKeyboard(dev)) {
        libevdev_free(dev);
        ::close(fd);
        return fail(OpenError::notKeyboard);
    }
    if (error)
        *error = OpenError::none;
    return std::make_unique<LibevdevDevice>(fd, dev);
}

std::unique_ptr<VirtualKeyboardDevice> LibevdevIo::createVirtualKeyboard(const std::optional<RepeatSettings>& repeat)
{
    libevdev* prototype = libevdev_new();
    if (!prototype)
        return nullptr;
    libevdev_set_name(prototype, kVirtualKeyboardName);
    libevdev_set_id_bustype(prototype, BUS_VIRTUAL);
    libevdev_set_id_vendor(prototype, 0x4b45); // "KE"
    libevdev_set_id_product(prototype, 0x0001);
    libevdev_set_id_version(prototype, 1);
    libevdev_enable_event_type(prototype, EV_KEY);
    for (unsigned code = 0; code < KEY_CNT; ++code)
        if (isKeyboardKey(code))
            libevdev_enable_event_code(prototype, EV_KEY, code, nullptr);
    libevdev_enable_event_type(prototype, EV_LED);
    for (unsigned led = 0; led < kLedCount; ++led)
        libevdev_enable_event_code(prototype, EV_LED, led, nullptr);
    // With EV_REP the kernel repeats held keys on the virtual keyboard itself.
    const RepeatSettings rep = repeat.value_or(RepeatSettings{250, 33});
    libevdev_enable_event_code(prototype, EV_REP, REP_DELAY, &rep.delayMs);
    libevdev_enable_event_code(prototype, EV_REP, REP_PERIOD, &rep.periodMs);

    libevdev_uinput* uinput = nullptr;
    if (libevdev_uinput_create_from_device(prototype, LIBEVDEV_UINPUT_OPEN_MANAGED, &uinput) < 0) {
        libevdev_free(prototype);
        return nullptr;
    }
    const int fd = libevdev_uinput_get_fd(uinput);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    // uinput cannot set repeat values at creation; written as events they
    // set the device's settings as EVIOCSREP would.
    if (repeat) {
        const input_event events[] = {
            {{}, EV_REP, REP_DELAY, repeat->delayMs},
            {{}, EV_REP, REP_PERIOD, repeat->periodMs},
            {{}, EV_SYN, SYN_REPORT, 0},
        };
        writeAll(fd, events, sizeof events);
    }
    return std::make_unique<UinputKeyboard>(prototype, uinput);
}

bool LibevdevIo::canCreateVirtualKeyboard()
{
    const int fd = ::open(kUinputPath, O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace kestrune
