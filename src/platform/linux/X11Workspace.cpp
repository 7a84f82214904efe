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
    notify(false, previous);
    notify(true, frontmost_);
}

void X11Workspace::notify(bool activation, const std::optional<QString>& bundleId)
{
    // Handlers may add or remove observers: walk a copy of the tokens.
    std::vector<int> tokens;
    for (const Observer& o : observers_)
        if (o.activation == activation)
            tokens.push_back(o.token);
    for (int token : tokens) {
        auto it = std::find_if(observers_.begin(), observers_.end(), [&](const Observer& o) { return o.token == token; });
        if (it == observers_.end())
            continue;
        ActivationHandler handler = it->handler; // survives its own removal
        handler(bundleId);
    }
}

int X11Workspace::addActivationObserver(ActivationHandler handler)
{
    observers_.push_back({nextToken_, true, std::move(handler)});
    return nextToken_++;
}

int X11Workspace::addDeactivationObserver(ActivationHandler handler)
{
    observers_.push_back({nextToken_, false, std::move(handler)});
    return nextToken_++;
}

void X11Workspace::removeObserver(int token)
{
    std::erase_if(observers_, [&](const Observer& o) { return o.token == token; });
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
