#pragma once
// The tray icon: a click opens or closes the panel next to the icon, a right
// click offers the header menu's commands, and opening the settings,
// pausing and "About". The icon and its tooltip show whether Kestrune is
// working, paused (dimmed) or not working (a badge). Main thread.

#include "remapper/RemapperStatus.h"

#include <QColor>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace kestrune {

// The monochrome "MenuBarIcon" in `color`, at the sizes trays ask for:
// dimmed while paused, with a red badge while not working.
QIcon menuBarIcon(const QColor& color, RemapperStatus::State state = RemapperStatus::Working);

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
    // What the icon, its tooltip and "Pause"/"Resume" follow; may be null
    // (then the icon is plain and the item absent). Must outlive this.
    void setStatus(RemapperStatus* status);
    QString toolTip() const;
    // While the panel is open under the icon the tooltip is left out: it
    // would cover the panel's header and take its first click.
    void setPanelOpen(bool open);
    QIcon icon() const;
    // Whether the tray sits on a dark panel, given the desktop's colour
    // scheme: most panels follow it, GNOME's top bar is dark in both.
    static bool isPanelDark(bool schemeIsDark, const QString& currentDesktop);

    QMenu* menu() const { return menu_.get(); }
    // A notification from the icon, where the tray shows them; titled
    // "Kestrune" unless a title is given.
    void showMessage(const QString& text);
    void showMessage(const QString& title, const QString& text);
    // Adds "Keyboards…", where the platform tells keyboards apart.
    void offerKeyboards();
    // A keyboard seen for the first time, and whether Kestrune remaps it.
    // Those that arrive together (one device often brings several
    // keyboards) make one notification.
    void announceNewKeyboard(const QString& name, bool remapped);

signals:
    void panelToggleRequested(const QRect& iconGeometry);
    void openSettingsRequested();
    void aboutRequested();
    void keyboardsRequested();
    void checkForUpdatesRequested();
    void resetKeysRequested();
    void quitRequested();

private slots:
    void syncHudAction();
    void syncStatus();
    void onMessageClicked();

private:
    void showNewKeyboards();

    QPointer<QObject> hud_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    QAction* hudAction_ = nullptr;
    QAction* pauseAction_ = nullptr;
    QAction* resetAction_ = nullptr;
    QAction* keyboardsAction_ = nullptr;
    QStringList newKeyboards_;
    bool newKeyboardsRemapped_ = true;
    bool keyboardsMessageShown_ = false; // the last notification was of new keyboards
    QPointer<RemapperStatus> status_;
    bool darkPanel_ = true;
    bool panelOpen_ = false;
};

} // namespace kestrune
