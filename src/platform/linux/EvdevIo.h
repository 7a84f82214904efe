#pragma once
// The seam under the Linux event tap: every ioctl, every read and write of an
// evdev node and the uinput virtual keyboard go through these interfaces. The
// product uses LibevdevIo (libevdev, libudev, /dev/uinput); tests and the
// benchmark use PipeEvdevIo, whose devices are pipes, so that the real path
// read → translate → engine → modifier sync → write runs unchanged.
//
// Events are the kernel's struct input_event. Times in events written are
// ignored (the kernel stamps them).

#include "platform/KeyboardRoster.h"

#include <linux/input.h>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kestrune {

// The name our virtual keyboard carries; a device with this name is never
// taken as a keyboard to grab (it could be ours, or another instance's).
inline constexpr const char* kVirtualKeyboardName = "Kestrune virtual keyboard";

struct RepeatSettings {
    int delayMs = 0;
    int periodMs = 0;
    friend bool operator==(const RepeatSettings&, const RepeatSettings&) = default;
};

// One keyboard's event node, opened for reading. Used by one thread at a time
// (the tap thread once the tap owns it). Closing it (destruction) also ends a
// grab.
class EvdevDevice {
public:
    virtual ~EvdevDevice() = default;

    // Readable (for epoll) when events wait or the device has gone.
    virtual int fd() const = 0;
    // Exclusive grab (EVIOCGRAB): while held, nothing else sees its events.
    // False when it could not be taken (another process holds it).
    virtual bool grab() = 0;
    virtual void ungrab() = 0;
    // Reads the events waiting, at most out.size(). Returns how many were
    // read (0: none waiting), or -errno; -ENODEV once the device has gone.
    // Events lost to a kernel buffer overrun come back as the key changes
    // that bring the state up to date.
    virtual int read(std::span<input_event> out) = 0;
    // The kernel's key state now (EVIOCGKEY): true while any key is down.
    virtual bool anyKeyDown() = 0;
    // The LED state when opened (bit n: LED n), and setting it (EV_LED).
    // Setting needs the node open for writing; where only read access was
    // granted it does nothing.
    virtual unsigned initialLeds() = 0;
    virtual void setLeds(unsigned leds) = 0;
    virtual std::optional<RepeatSettings> repeat() = 0;
    // Bus, vendor, product, name and physical path, as the kernel gives them.
    virtual KeyboardIdentity identity() = 0;
    // False once `path` names another node than the one open (the device was
    // replaced under the same name).
    virtual bool stillAt(const std::string& path) = 0;
};

// The uinput virtual keyboard: every key a keyboard may have, the keyboard
// LEDs, and autorepeat by the kernel with the settings it was created with.
// Used by the tap thread only; destruction removes it from the system.
class VirtualKeyboardDevice {
public:
    virtual ~VirtualKeyboardDevice() = default;

    // Readable when the system has set LEDs (EV_LED) on the virtual keyboard.
    virtual int fd() const = 0;
    virtual bool write(std::span<const input_event> events) = 0;
    // Events the system sent to the device; as EvdevDevice::read.
    virtual int read(std::span<input_event> out) = 0;
};

class EvdevIo {
public:
    enum class OpenError { none, denied, notKeyboard, gone };

    virtual ~EvdevIo() = default;

    // Any thread. The event nodes of the keyboards present, in a stable
    // order, never one carrying kVirtualKeyboardName.
    virtual std::vector<std::string> keyboardPaths() = 0;
    // Any thread. Opened for reading and writing (writing sets its LEDs), or
    // for reading alone where only that is allowed. Null with `error` set
    // when the node cannot be opened for reading or is not a keyboard after
    // all.
    virtual std::unique_ptr<EvdevDevice> open(const std::string& path, OpenError* error) = 0;
    // Tap thread. Null when /dev/uinput cannot be used.
    virtual std::unique_ptr<VirtualKeyboardDevice> createVirtualKeyboard(const std::optional<RepeatSettings>& repeat) = 0;
    // Any thread: whether createVirtualKeyboard would be allowed.
    virtual bool canCreateVirtualKeyboard() = 0;
};

} // namespace kestrune
