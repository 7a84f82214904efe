#pragma once
// The settings panel's window. With a tray it behaves like a menu-bar
// window: frameless and translucent, opened next to the icon, closed by a
// click anywhere outside it. Without a tray host it is an ordinary window,
// so the settings stay reachable. Main thread.

#include <QElapsedTimer>
#include <QObject>
#include <QRect>
#include <QVariantMap>
#include <memory>

class QQmlEngine;
class QQuickView;
class QQuickItem;

namespace kestrune {

class PanelWindow : public QObject {
    Q_OBJECT
public:
    // `models`: initial properties of the view (launchAtLogin, hud, updater).
    PanelWindow(QQmlEngine& engine, const QVariantMap& models, bool standalone, QObject* parent = nullptr);
    ~PanelWindow() override;

    QQuickItem* root() const;
    QString error() const { return error_; }

    // Shows the panel by the tray icon (or, without one, where the window
    // manager puts it) and raises it; each opening re-checks the permission.
    void showAt(const QRect& iconGeometry);
    void toggleAt(const QRect& iconGeometry);
    void hide();
    // An ordinary window (no tray host) or a tray panel.
    void setStandalone(bool standalone);
    bool isStandalone() const { return standalone_; }
    // Late arrivals (the update checker is made off the main thread).
    void setModel(const char* name, QObject* model);

private slots:
    void closeIfPanel();

signals:
    void resetKeysRequested();
    void quitRequested();
    void aboutRequested();
    void launcherSettingsRequested();
    void exclusionSettingsRequested();
    // Each time the panel is shown.
    void shown();
    void visibleChanged(bool visible);

private:
    std::unique_ptr<QQuickView> view_;
    bool standalone_ = false;
    QString error_;
    QElapsedTimer sinceAutoHide_;
};

} // namespace kestrune
