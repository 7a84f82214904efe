#include "platform/linux/LinuxWorkspace.h"

#include <utility>

namespace kestrune {

LinuxWorkspace::LinuxWorkspace(Scheduler& scheduler, std::unique_ptr<ActiveWindowSource> source, QObject* parent)
    : QObject(parent)
    , scheduler_(scheduler)
    , source_(std::move(source))
{
    applications_.onChanged = [this] { emit applicationsChanged(); };
    if (!source_)
        return;
    tracking_ = source_->isTracking();
    blocker_ = source_->blocker();
    if (tracking_ && source_->active())
        frontmost_ = applications_.identifierFor(*source_->active());
    source_->onChanged = [this] { update(); };
}

LinuxWorkspace::~LinuxWorkspace()
{
    if (source_)
        source_->onChanged = nullptr;
}

FrontmostBlocker LinuxWorkspace::frontmostBlocker() const
{
    return tracking_ ? FrontmostBlocker::None : blocker_;
}

void LinuxWorkspace::removeFrontmostBlocker()
{
    if (source_ && !tracking_)
        source_->removeBlocker();
}

void LinuxWorkspace::update()
{
    const bool tracking = source_->isTracking();
    const FrontmostBlocker blocker = source_->blocker();
    if (tracking != tracking_ || blocker != blocker_) {
        const bool trackingChanged = tracking != tracking_;
        tracking_ = tracking;
        blocker_ = blocker;
        if (trackingChanged)
            emit canTrackActiveWindowChanged();
        if (trackingChanged_) {
            const auto hook = trackingChanged_;
            hook();
        }
    }
    if (!tracking) {
        frontmost_.reset(); // unknown from now on, which is no activation
        return;
    }
    std::optional<QString> current;
    if (source_->active())
        current = applications_.identifierFor(*source_->active());
    if (current == frontmost_)
        return;
    const std::optional<QString> previous = std::exchange(frontmost_, std::move(current));
    observers_.notify(false, previous);
    observers_.notify(true, frontmost_);
}

int LinuxWorkspace::addActivationObserver(ActivationHandler handler)
{
    return observers_.add(true, std::move(handler));
}

int LinuxWorkspace::addDeactivationObserver(ActivationHandler handler)
{
    return observers_.add(false, std::move(handler));
}

void LinuxWorkspace::removeObserver(int token)
{
    observers_.remove(token);
}

std::optional<AppIdentity> LinuxWorkspace::applicationAt(const QUrl& url) const { return applications_.identity(url); }

void LinuxWorkspace::openApplication(const QUrl& url, std::function<void(const QString& error)> completion)
{
    QString error = applications_.launch(url);
    if (completion)
        scheduler_.post([completion = std::move(completion), error = std::move(error)] { completion(error); });
}

void LinuxWorkspace::openUrl(const QUrl& url) { DesktopApplications::openUri(url); }

} // namespace kestrune
