#pragma once
// The active window of KWin (KDE Plasma 5 and 6), told by Kestrune's KWin
// script. Kestrune loads the script at start through KWin's scripting
// interface and unloads it when it goes; on each activation the script calls
// WindowActivated on Kestrune's bus name (kService, kObjectPath) with the
// window's desktop file name, resource class and name, and process id.
// Only calls from the current owner of org.kde.KWin are accepted; others get
// an access-denied error. Should KWin be replaced, the script is loaded
// into the new one.
//
// Main thread only. Loading and unloading are short blocking calls to KWin,
// which answers them itself.

#include "platform/linux/ActiveWindowSource.h"

#include <QDBusConnection>
#include <QObject>

#include <memory>

class QDBusServiceWatcher;

namespace kestrune {

class KWinActiveWindow final : public QObject, public ActiveWindowSource {
    Q_OBJECT

public:
    inline static const QString kKWinService = QStringLiteral("org.kde.KWin");
    inline static const QString kService = QStringLiteral("com.kestrune.Kestrune");
    inline static const QString kObjectPath = QStringLiteral("/com/kestrune/Kestrune/KWin");
    inline static const QString kInterface = QStringLiteral("com.kestrune.Kestrune.KWin");
    inline static const QString kPluginName = QStringLiteral("kestrune-active-window");
    // Below a data folder.
    inline static const QString kScriptFile = QStringLiteral("kwin/scripts/kestrune-active-window/contents/code/main.js");

    KWinActiveWindow(const QDBusConnection& bus, const QString& scriptPath, QObject* parent = nullptr);
    // Unloads the script.
    ~KWinActiveWindow() override;

    bool isTracking() const override { return tracking_; }
    const std::optional<WindowHints>& active() const override { return active_; }
    FrontmostBlocker blocker() const override
    {
        return tracking_ ? FrontmostBlocker::None : FrontmostBlocker::KWinScriptFailed;
    }

    // What a call from the script carries; false when `sender` is not KWin.
    bool receive(const QString& sender, const QStringList& window);

private:
    void onKWinOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
    bool loadScript();
    void unloadScript();

    QDBusConnection bus_;
    QString scriptPath_;
    std::unique_ptr<QObject> receiver_;
    QDBusServiceWatcher* watcher_ = nullptr;
    QString kwinOwner_;
    bool registered_ = false;
    bool tracking_ = false;
    std::optional<WindowHints> active_;
};

} // namespace kestrune
