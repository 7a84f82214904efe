#include "platform/linux/UdevDeviceMonitor.h"

#include <QSocketNotifier>

namespace kestrune {

UdevDeviceMonitor::UdevDeviceMonitor()
    : UdevDeviceMonitor(makeUdevInputSource())
{
}

UdevDeviceMonitor::UdevDeviceMonitor(std::unique_ptr<InputDeviceSource> source)
    : source_(std::move(source))
{
}

UdevDeviceMonitor::~UdevDeviceMonitor()
{
    stop();
    retired_.clear();
}

bool UdevDeviceMonitor::isKeyboardNode(const InputDevice& device)
{
    // udev marks both the input device and its event node; only the node is
    // something the input path can open.
    return device.sysname.startsWith("event") && !device.devnode.isEmpty()
        && device.properties.value("ID_INPUT_KEYBOARD") == "1";
}

bool UdevDeviceMonitor::isCountedKeyboard(const InputDevice& device) const
{
    return isKeyboardNode(device) && !(isOwnDevice && isOwnDevice(device.name));
}

int UdevDeviceMonitor::start(std::function<void()> onArrival)
{
    stop();
    // Listen before listing, so that a keyboard plugged in between the two is
    // not missed; one that is both listed and announced is counted once.
    const int fd = source_->open();
    if (fd < 0) {
        source_->close();
        return -1;
    }
    for (const InputDevice& device : source_->enumerate())
        if (isCountedKeyboard(device))
            keyboards_.insert(device.syspath);
    onArrival_ = std::move(onArrival);
    notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { readPending(); });
    return keyboardCount();
}

void UdevDeviceMonitor::stop()
{
    if (notifier_) {
        notifier_->setEnabled(false);
        // A notifier must not be deleted while it is delivering its signal.
        if (dispatchDepth_ > 0)
            retired_.push_back(std::move(notifier_));
        else
            retired_.clear();
        notifier_.reset();
    }
    source_->close();
    onArrival_ = nullptr;
    keyboards_.clear();
}

void UdevDeviceMonitor::readPending()
{
    // Only the live notifier calls in here, so outside a hook the retired
    // ones are idle.
    if (dispatchDepth_ == 0)
        retired_.clear();
    int arrived = 0;
    bool changed = false;
    while (std::optional<InputDevice> device = source_->receive()) {
        if (device->action == "remove") {
            changed = keyboards_.erase(device->syspath) > 0 || changed;
        } else if (isCountedKeyboard(*device)) {
            if (keyboards_.insert(device->syspath).second) {
                ++arrived;
                changed = true;
            }
        } else if (keyboards_.erase(device->syspath) > 0) {
            changed = true; // a "change" that took the keyboard mark away
        }
    }

    // Hooks may stop or restart watching: run copies, and skip the arrival
    // once watching was stopped meanwhile.
    ++dispatchDepth_;
    QSocketNotifier* const current = notifier_.get();
    if (changed && onKeyboardsChanged) {
        const auto hook = onKeyboardsChanged;
        hook();
    }
    if (arrived > 0 && notifier_.get() == current && onArrival_) {
        const auto hook = onArrival_;
        hook();
    }
    --dispatchDepth_;
}

} // namespace kestrune
