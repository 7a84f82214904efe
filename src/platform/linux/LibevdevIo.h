#pragma once
// The real evdev and uinput access: keyboards found through libudev (or, with
// no udev database, every /dev/input/event* node that proves to be a
// keyboard), read and grabbed through libevdev, and the virtual keyboard
// created on /dev/uinput.
//
// A node counts as a keyboard when it has keys of the main block and no
// pointer axes: grabbing a device that also moves a pointer would swallow
// its motion, which the virtual keyboard cannot carry.
//
// Thread-safe: each call works on its own udev context and descriptors.

#include "platform/linux/EvdevIo.h"

namespace kestrune {

class LibevdevIo final : public EvdevIo {
public:
    std::vector<std::string> keyboardPaths() override;
    std::unique_ptr<EvdevDevice> open(const std::string& path, OpenError* error) override;
    std::unique_ptr<VirtualKeyboardDevice> createVirtualKeyboard(const std::optional<RepeatSettings>& repeat) override;
    bool canCreateVirtualKeyboard() override;
};

} // namespace kestrune
