#include "onboarding/MenuBarPointerManager.h"

#include <QGuiApplication>
#include <QPointer>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>

#include <algorithm>

namespace kestrune {

namespace {
constexpr QSize kArrowSize{200, 80};
// Between the bar's edge and the arrow window.
constexpr int kArrowGap = 10;
const QRect kFallbackScreen{0, 0, 800, 600};
} // namespace

MenuBarPointerManager::MenuBarPointerManager(QQmlEngine& engine, Scheduler& scheduler, Hooks hooks, QObject* parent)
    : QObject(parent), engine_(engine), scheduler_(scheduler), hooks_(std::move(hooks))
{
}

MenuBarPointerManager::~MenuBarPointerManager()
{
    QObject::disconnect(focusWatch_);
    if (removal_)
        removal_->cancel();
}

QString MenuBarPointerManager::caption()
{
    return tr("You can start the app from here");
}

PointerPlacement MenuBarPointerManager::place(const QRect& screen, const QRect& icon)
{
    PointerPlacement p;
    p.overlay = screen;
    if (icon.isValid() && !icon.isEmpty()) {
        p.spot = icon.center();
        p.pointsUp = icon.center().y() < screen.center().y();
    } else {
        p.spot = QPoint(screen.x() + screen.width() - kFallbackInset, screen.y() + kAssumedBarHeight / 2);
        p.pointsUp = true;
    }
    int left = p.spot.x() - kArrowSize.width() / 2;
    left = std::clamp(left, screen.left(), std::max(screen.left(), screen.right() + 1 - kArrowSize.width()));
    int top;
    if (icon.isValid() && !icon.isEmpty())
        top = p.pointsUp ? icon.bottom() + 1 + kArrowGap : icon.top() - kArrowGap - kArrowSize.height();
    else
        top = screen.y() + kAssumedBarHeight + kArrowGap;
    p.arrow = QRect(QPoint(left, top), kArrowSize);
    return p;
}

std::unique_ptr<QQuickView> MenuBarPointerManager::makeWindow(const QString& source, const QRect& geometry,
                                                              Qt::WindowFlags extra)
{
    auto window = std::make_unique<QQuickView>(&engine_, nullptr);
    // Never a click, never the focus, never a taskbar entry or decoration.
    window->setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                     Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus | extra);
    window->setColor(Qt::transparent);
    // Named for tools that list windows; no window manager shows these.
    window->setTitle(source.contains(QLatin1String("Arrow")) ? QStringLiteral("Kestrune pointer")
                                                              : QStringLiteral("Kestrune spotlight"));
    window->setResizeMode(QQuickView::SizeRootObjectToView);
    window->setGeometry(geometry);
    window->setSource(QUrl(source));
    return window;
}

void MenuBarPointerManager::show()
{
    if (overlay_ || arrow_)
        return;
    if (hooks_.canPlaceWindows && !hooks_.canPlaceWindows()) {
        if (hooks_.notify)
            hooks_.notify(caption());
        return;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect screenRect = screen ? screen->geometry() : kFallbackScreen;
    const QRect icon = hooks_.iconGeometry ? hooks_.iconGeometry() : QRect();
    const PointerPlacement placement = place(screenRect, icon);
    const bool blend = !hooks_.canBlendWindows || hooks_.canBlendWindows();

    if (blend) {
        overlay_ = makeWindow(QStringLiteral("qrc:/qt/qml/Kestrune/Onboarding/SpotlightOverlayView.qml"),
                              placement.overlay, Qt::X11BypassWindowManagerHint);
        if (QQuickItem* root = overlay_->rootObject())
            root->setProperty("spot", placement.spot - placement.overlay.topLeft());
    }
    arrow_ = makeWindow(QStringLiteral("qrc:/qt/qml/Kestrune/Onboarding/PointerArrowView.qml"), placement.arrow,
                        Qt::X11BypassWindowManagerHint);
    if (QQuickItem* root = arrow_->rootObject()) {
        root->setProperty("caption", caption());
        root->setProperty("pointsUp", placement.pointsUp);
        root->setProperty("solid", !blend);
        // Kept on screen, the window may not be centred on the icon; the
        // arrow still is.
        root->setProperty("arrowX", placement.spot.x() - placement.arrow.left());
    }
    for (QQuickView* window : {overlay_.get(), arrow_.get()}) {
        if (!window)
            continue;
        window->show();
        window->raise();
        if (QQuickItem* root = window->rootObject())
            root->setProperty("shown", true);
    }
    hiding_ = false;
    focusWatch_ = connect(qGuiApp, &QGuiApplication::focusWindowChanged, this,
                          &MenuBarPointerManager::onFocusWindowChanged);
}

void MenuBarPointerManager::onFocusWindowChanged(QWindow* window)
{
    if (window && window != overlay_.get() && window != arrow_.get())
        hide();
}

void MenuBarPointerManager::hide()
{
    if (!overlay_ && !arrow_)
        return;
    QObject::disconnect(focusWatch_);
    for (QQuickView* window : {overlay_.get(), arrow_.get()})
        if (window && window->rootObject())
            window->rootObject()->setProperty("shown", false);
    if (hiding_)
        return;
    hiding_ = true;
    QPointer<MenuBarPointerManager> self(this);
    removal_ = scheduler_.postAfter(kFadeOut, [self] {
        if (!self)
            return;
        self->overlay_.reset();
        self->arrow_.reset();
        self->hiding_ = false;
    });
}

} // namespace kestrune
