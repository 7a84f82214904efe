#include "system/FeedUpdates.h"

#include <QQmlComponent>
#include <QQuickWindow>

namespace kestrune {

namespace {
const QUrl kWindowUrl(QStringLiteral("qrc:/qt/qml/Kestrune/System/UpdateWindow.qml"));
}

FeedUpdates::FeedUpdates(QQmlEngine& engine, const QUrl& feedUrl, const QString& currentVersion,
                         std::optional<LoopbackHttpForTests> loopbackHttp)
    : engine_(engine), checker_(feedUrl, currentVersion, loopbackHttp)
{
}

// The window goes before the checker it is bound to.
FeedUpdates::~FeedUpdates() { window_.reset(); }

QQuickWindow* FeedUpdates::window() const { return qobject_cast<QQuickWindow*>(window_.get()); }

void FeedUpdates::checkForUpdates()
{
    if (!window_) {
        QQmlComponent component(&engine_, kWindowUrl);
        window_.reset(component.createWithInitialProperties({{QStringLiteral("checker"), QVariant::fromValue(&checker_)}}));
        if (!window_)
            qWarning("The Software Update window could not be made: %s", qPrintable(component.errorString()));
    }
    if (QQuickWindow* w = window()) {
        w->show();
        w->raise();
        w->requestActivate();
    }
    checker_.check();
}

} // namespace kestrune
