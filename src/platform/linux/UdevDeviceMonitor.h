#pragma once
// Keyboards arriving and leaving, watched through udev on the input subsystem.
//
// Main thread only: construction, start, stop and every hook. The monitor's
// socket is watched with a QSocketNotifier; each wake-up reads every pending
// event first, so a keyboard that shows up as several udev events (its input
// device, its event node, a hub's other interfaces) is announced once.

#include "platform/System.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

class QSocketNotifier;

namespace kestrune {

// One device as udev describes it, from a listing or from an event.
struct InputDevice {
    QByteArray action;  // "add", "remove", "change", …; empty in a listing
    QByteArray syspath; // identity of the device while it exists
    QByteArray sysname; // "event3", "input7"
    QByteArray devnode; // "/dev/input/event3"; empty when the device has no node
    QString name;       // the input device's name; may be empty (always on removal)
    QHash<QByteArray, QByteArray> properties;
};

// Where device information comes from: the system's udev, or a test's script.
class InputDeviceSource {
public:
    virtual ~InputDeviceSource() = default;
    // Starts listening for events on the input subsystem. Returns a descriptor
    // that is readable while events are pending, or -1 on failure.
    virtual int open() = 0;
    // The input devices present now. Only between open() and close().
    virtual std::vector<InputDevice> enumerate() = 0;
    // The next pending event, or nullopt when none is pending. Never blocks.
    virtual std::optional<InputDevice> receive() = 0;
    // Stops listening; idempotent. The descriptor is invalid afterwards.
    virtual void close() = 0;
};

// The system's udev (libudev), listening to events udevd has processed.
std::unique_ptr<InputDeviceSource> makeUdevInputSource();

class UdevDeviceMonitor final : public DeviceMonitor {
public:
    // Watches the system's udev.
    UdevDeviceMonitor();
    explicit UdevDeviceMonitor(std::unique_ptr<InputDeviceSource> source);
    ~UdevDeviceMonitor() override;

    UdevDeviceMonitor(const UdevDeviceMonitor&) = delete;
    UdevDeviceMonitor& operator=(const UdevDeviceMonitor&) = delete;

    // Counts the keyboards present (event nodes udev marks ID_INPUT_KEYBOARD=1),
    // then calls `onArrival` once per wake-up in which new keyboards appeared.
    // Restarting re-lists. Returns -1 when udev cannot be watched.
    int start(std::function<void()> onArrival) override;
    void stop() override;

    // Runs once per wake-up in which a keyboard appeared or went away, before
    // onArrival; the input path uses it to rescan the keyboards it grabs.
    // Hooks may call stop() or start().
    std::function<void()> onKeyboardsChanged;
    // Keyboards it answers true for (by name) are neither counted nor
    // announced: the tap's own virtual keyboard. Set before start().
    std::function<bool(const QString& name)> isOwnDevice;

    bool isWatching() const { return notifier_ != nullptr; }
    // How many keyboards are known to be present (main thread).
    int keyboardCount() const { return static_cast<int>(keyboards_.size()); }

    // Whether udev's description names a keyboard event node.
    static bool isKeyboardNode(const InputDevice& device);

private:
    bool isCountedKeyboard(const InputDevice& device) const;
    void readPending();

    std::unique_ptr<InputDeviceSource> source_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<std::unique_ptr<QSocketNotifier>> retired_; // stopped during a wake-up
    std::function<void()> onArrival_;
    std::set<QByteArray> keyboards_; // syspaths
    int dispatchDepth_ = 0; // hooks running
};

} // namespace kestrune
