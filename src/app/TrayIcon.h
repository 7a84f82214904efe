#pragma once
// The tray icon: a click opens or closes the panel next to the icon, a right
// click offers the header menu's commands. Main thread.

#include <QColor>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace kestrune {

// The monochrome "MenuBarIcon" in `color`, at the sizes trays ask for.
QIcon menuBarIcon(const QColor& color);

class TrayIcon : public QObject {
    Q_OBJECT
public:
    // `hud` carries the Boolean property isHUDEnabled (and its notify signal).
    explicit TrayIcon(QObject* hud, QObject* parent = nullptr);
    ~TrayIcon() override;

    static bool isAvailable();
    void show();
    // Where the icon is on screen; empty when the tray does not say.
    QRect geometry() const;
    // Re-tints the icon for a dark or a light panel.
    void setDarkPanel(bool dark);
    // Whether the tray sits on a dark panel, given the desktop's colour
    // scheme: most panels follow it, GNOME's top bar is dark in both.
    static bool isPanelDark(bool schemeIsDark, const QString& currentDesktop);

    QMenu* menu() const { return menu_.get(); }
    // A notification from the icon, where the tray shows them.
    void showMessage(const QString& text);

signals:
    void panelToggleRequested(const QRect& iconGeometry);
    void checkForUpdatesRequested();
    void resetKeysRequested();
    void quitRequested();

private slots:
    void syncHudAction();

private:

    QPointer<QObject> hud_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    QAction* hudAction_ = nullptr;
};

} // namespace kestrune
