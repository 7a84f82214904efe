#pragma once
// Points at the tray icon once the welcome guide is done: the screen dims
// but for a soft bright spot under the icon, and a bouncing arrow with a
// caption sits beside it. It fades out as soon as the panel, the tray menu
// or any other window of ours opens, and never takes a click.
//
// Where the desktop lets no program place windows (Wayland), nothing is
// drawn: the tray shows a notification with the caption instead. Without a
// compositor, which alone can blend a window over the screen, only the arrow
// is shown, on a solid background.
//
// Main thread; `shared` is the composition root's instance.

#include "base/Scheduler.h"
#include "base/SharedInstance.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <functional>
#include <memory>

class QQmlEngine;
class QQuickView;
class QWindow;

namespace kestrune {

// Where the pointer goes on a screen, in screen coordinates.
struct PointerPlacement {
    QRect overlay;     // the dimmed area: the whole screen
    QPoint spot;       // centre of the bright spot (the icon)
    QRect arrow;       // the arrow window, 200 × 80
    bool pointsUp = true;

    friend bool operator==(const PointerPlacement&, const PointerPlacement&) = default;
};

class MenuBarPointerManager : public QObject, public SharedInstance<MenuBarPointerManager> {
    Q_OBJECT
public:
    struct Hooks {
        // The tray icon's geometry; empty where the tray does not say.
        std::function<QRect()> iconGeometry;
        // False where windows cannot be placed (Wayland).
        std::function<bool()> canPlaceWindows;
        // False where translucent windows are not blended (no compositor).
        std::function<bool()> canBlendWindows;
        // The stand-in where windows cannot be placed: a tray notification.
        std::function<void(const QString& caption)> notify;
    };

    static constexpr Millis kFadeIn{500};
    static constexpr Millis kFadeOut{300};
    // It goes by itself after this: it points out where Kestrune is, once.
    static constexpr Millis kShownFor{8000};
    static constexpr int kAssumedBarHeight = 22;
    static constexpr int kFallbackInset = 120;

    MenuBarPointerManager(QQmlEngine& engine, Scheduler& scheduler, Hooks hooks, QObject* parent = nullptr);
    ~MenuBarPointerManager() override;

    // The caption under the arrow, in the user's language.
    static QString caption();
    // The placement for a screen and the icon's geometry (empty: unknown,
    // then the icon is taken 120 points left of the screen's right edge, in
    // a bar of 22 points at its top).
    static PointerPlacement place(const QRect& screen, const QRect& icon);

    bool isShown() const { return arrow_ != nullptr; }
    QQuickView* overlayWindow() const { return overlay_.get(); }
    QQuickView* arrowWindow() const { return arrow_.get(); }

public slots:
    // Does nothing while shown.
    void show();
    // Fades out and, 0.3 s later, removes the windows. Does nothing while hidden.
    void hide();

private:
    void onFocusWindowChanged(QWindow* window);
    std::unique_ptr<QQuickView> makeWindow(const QString& source, const QRect& geometry, Qt::WindowFlags extra);

    QQmlEngine& engine_;
    Scheduler& scheduler_;
    Hooks hooks_;
    std::unique_ptr<QQuickView> overlay_;
    std::unique_ptr<QQuickView> arrow_;
    QMetaObject::Connection focusWatch_;
    WorkItemPtr removal_;
    WorkItemPtr autoHide_;
    bool hiding_ = false;
};

} // namespace kestrune
