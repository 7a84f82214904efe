#include "platform/linux/X11Workspace.h"

#include "platform/linux/X11ActiveWindow.h"

#include <algorithm>
#include <utility>

namespace kestrune {

X11Workspace::X11Workspace(Scheduler& scheduler, const QByteArray& display, QObject* parent)
    : QObject(parent)
    , scheduler_(scheduler)
{
    applications_.onChanged = [this] { emit applicationsChanged(); };
    if (isWaylandSession())
        return;
    activeWindow_ = std::make_unique<X11ActiveWindow>(display);
    tracking_ = activeWindow_->isTracking();
    if (tracking_ && activeWindow_->active())
        frontmost_ = applications_.identifierFor(*activeWindow_->active());
    activeWindow_->onChanged = [this] { update(); };
}

X11Workspace::~X11Workspace() = default;

bool X11Workspace::isWaylandSession()
{
    return qgetenv("XDG_SESSION_TYPE") == "wayland" || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

void X11Workspace::update()
{
    const bool tracking = activeWindow_->isTracking();
    if (tracking != tracking_) {
        tracking_ = tracking;
        emit canTrackActiveWindowChanged();
    }
    if (!tracking) {
        frontmost_.reset(); // unknown from now on, which is no activation
        return;
    }
    std::optional<QString> current;
    if (activeWindow_->active())
        current = applications_.identifierFor(*activeWindow_->active());
    if (current == frontmost_)
        return;
    const std::optional<QString> previous = std::exchange(frontmost_, std::move(current));
    observers_.notify(false, previous);
    observers_.notify(true, frontmost_);
}

int X11Workspace::addActivationObserver(ActivationHandler handler)
{
    return observers_.add(true, std::move(handler));
}

int X11Workspace::addDeactivationObserver(ActivationHandler handler)
{
    return observers_.add(false, std::move(handler));
}

void X11Workspace::removeObserver(int token)
{
    observers_.remove(token);
}

std::optional<AppIdentity> X11Workspace::applicationAt(const QUrl& url) const { return applications_.identity(url); }

void X11Workspace::openApplication(const QUrl& url, std::function<void(const QString& error)> completion)
{
    QString error = applications_.launch(url);
    if (completion)
        scheduler_.post([completion = std::move(completion), error = std::move(error)] { completion(error); });
}

void X11Workspace::openUrl(const QUrl& url) { DesktopApplications::openUri(url); }

} // namespace kestrune
