// The system's udev as an InputDeviceSource (libudev).

#include "platform/linux/UdevDeviceMonitor.h"

#include <libudev.h>

namespace kestrune {

namespace {

InputDevice describe(udev_device* device)
{
    InputDevice d;
    if (const char* action = udev_device_get_action(device))
        d.action = action;
    if (const char* syspath = udev_device_get_syspath(device))
        d.syspath = syspath;
    if (const char* sysname = udev_device_get_sysname(device))
        d.sysname = sysname;
    if (const char* devnode = udev_device_get_devnode(device))
        d.devnode = devnode;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_device_get_properties_list_entry(device))
    {
        const char* value = udev_list_entry_get_value(entry);
        d.properties.insert(udev_list_entry_get_name(entry), value ? QByteArray(value) : QByteArray());
    }
    // An event node's name is its input device's; a removed device has none.
    if (d.action != "remove") {
        if (udev_device* parent = udev_device_get_parent_with_subsystem_devtype(device, "input", nullptr))
            if (const char* name = udev_device_get_sysattr_value(parent, "name"))
                d.name = QString::fromUtf8(name).trimmed();
    }
    return d;
}

class UdevInputSource final : public InputDeviceSource {
public:
    ~UdevInputSource() override { close(); }

    int open() override
    {
        close();
        udev_ = udev_new();
        if (!udev_)
            return -1;
        // "udev": events after udevd has added its properties, which is
        // where ID_INPUT_KEYBOARD comes from.
        monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
        if (!monitor_ || udev_monitor_filter_add_match_subsystem_devtype(monitor_, "input", nullptr) < 0
            || udev_monitor_enable_receiving(monitor_) < 0) {
            close();
            return -1;
        }
        return udev_monitor_get_fd(monitor_);
    }

    std::vector<InputDevice> enumerate() override
    {
        std::vector<InputDevice> devices;
        if (!udev_)
            return devices;
        udev_enumerate* e = udev_enumerate_new(udev_);
        if (!e)
            return devices;
        if (udev_enumerate_add_match_subsystem(e, "input") >= 0 && udev_enumerate_add_match_sysname(e, "event*") >= 0
            && udev_enumerate_scan_devices(e) >= 0) {
            udev_list_entry* entry = nullptr;
            udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(e))
            {
                udev_device* device = udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry));
                if (!device)
                    continue; // gone since the scan
                devices.push_back(describe(device));
                udev_device_unref(device);
            }
        }
        udev_enumerate_unref(e);
        return devices;
    }

    std::optional<InputDevice> receive() override
    {
        if (!monitor_)
            return std::nullopt;
        // The monitor's socket is non-blocking: no device means nothing pending.
        udev_device* device = udev_monitor_receive_device(monitor_);
        if (!device)
            return std::nullopt;
        InputDevice d = describe(device);
        udev_device_unref(device);
        return d;
    }

    void close() override
    {
        if (monitor_)
            udev_monitor_unref(monitor_);
        if (udev_)
            udev_unref(udev_);
        monitor_ = nullptr;
        udev_ = nullptr;
    }

private:
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
};

} // namespace

std::unique_ptr<InputDeviceSource> makeUdevInputSource() { return std::make_unique<UdevInputSource>(); }

} // namespace kestrune
