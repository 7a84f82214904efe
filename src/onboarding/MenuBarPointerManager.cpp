#include "onboarding/MenuBarPointerManager.h"

#include <QGuiApplication>
#include <QPointer>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QRegion>
#include <QScreen>

#include <algorithm>
#include <utility>

namespace kestrune {

namespace {
constexpr QSize kArrowSize{260, 90};
// Between the bar's edge and the arrow window.
constexpr int kArrowGap = 10;
const QRect kFallbackScreen{0, 0, 800, 600};

// Without a compositor the window cannot be see-through: it is cut to the
// arrow's column and the bubble, with room for their bounce, rather than
// showing as a box.
QRegion pointerShape(bool pointsUp, int arrowX)
{
    const int column = std::clamp(arrowX - 15, 0, kArrowSize.width() - 30);
    QRegion shape(QRect(column, 0, 30, kArrowSize.height()));
    shape += QRect(10, pointsUp ? 30 : 10, kArrowSize.width() - 20, 50);
    return shape;
}
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
    if (autoHide_)
        autoHide_->cancel();
}

QString MenuBarPointerManager::caption()
{
    // Kestrune is already running when this shows: it says what is there.
    return tr("Kestrune lives here — click to open its settings");
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
        if (hooks_.notify) // nothing to point with: said in words
            hooks_.notify(tr("Kestrune is in the system tray: click its icon to open its settings."));
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
    if (!blend)
        arrow_->setMask(pointerShape(placement.pointsUp, placement.spot.x() - placement.arrow.left()));
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
    QPointer<MenuBarPointerManager> self(this);
    autoHide_ = scheduler_.postAfter(kShownFor, [self] {
        if (self)
            self->hide();
    });
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
    if (autoHide_)
        std::exchange(autoHide_, nullptr)->cancel();
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
