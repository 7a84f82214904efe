#pragma once
// The store of launcher shortcuts (Hyper + key opens an application) and the
// launcher's feature switch, both kept in the user defaults.
//
// Threads: a main-thread object, except launchShortcut(), which the tap
// thread calls and which never waits for the main thread. The defaults,
// workspace, scheduler and console must outlive the manager, and the tap
// thread must be stopped before the manager is destroyed.

#include "base/Console.h"
#include "base/KeyCodes.h"
#include "base/Scheduler.h"
#include "base/QmlSingleton.h"
#include "base/SharedInstance.h"
#include "base/UserDefaults.h"
#include "launcher/LauncherShortcut.h"
#include "platform/System.h"
#include "remapper/EngineQueries.h"

#include <QList>
#include <QObject>
#include <QtQml/qqmlregistration.h>
#include <QPointer>
#include <QUrl>
#include <QUuid>
#include <string>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace kestrune {

class AppLauncherManager final : public QObject, public LaunchShortcuts, public SharedInstance<AppLauncherManager> {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(bool isEnabled READ isEnabled WRITE setEnabled NOTIFY isEnabledChanged)
    Q_PROPERTY(QList<LauncherShortcut> shortcuts READ shortcuts WRITE setShortcuts NOTIFY shortcutsChanged)
    // The application of the binding removeShortcut took last, while it can
    // be put back; empty otherwise.
    Q_PROPERTY(QString undoableRemoval READ undoableRemoval NOTIFY undoableRemovalChanged)

public:
    // QML reaches the process-wide instance only.
    static AppLauncherManager* create(QQmlEngine*, QJSEngine* engine) { return qmlSharedInstance<AppLauncherManager>(engine); }

    inline static const QString kEnabledKey = QStringLiteral("isAppLauncherEnabled");
    inline static const QString kShortcutsKey = QStringLiteral("launcherShortcuts");

    // Reads the switch and the stored shortcuts. Main thread.
    AppLauncherManager(UserDefaults& defaults, Workspace& workspace, Scheduler& scheduler, Console& console,
                       QObject* parent = nullptr);
    ~AppLauncherManager() override;

    bool isEnabled() const { return enabled_; }
    // Stores the switch under "isAppLauncherEnabled" at once.
    void setEnabled(bool enabled);

    // The bindings in registration order.
    const QList<LauncherShortcut>& shortcuts() const { return shortcuts_; }
    // Every assignment is saved and published, even an unchanged list.
    void setShortcuts(const QList<LauncherShortcut>& shortcuts);

    // Binds `keyCode` to the application: a previous binding of that key is
    // removed and the new one goes last. The same application may be bound
    // to several keys.
    Q_INVOKABLE void addShortcut(const QUrl& appURL, qint64 keyCode);
    // Removes every binding with that id (the list is saved either way). The
    // removed binding can be put back with undoRemoval until the list changes
    // otherwise or forgetRemoval is called.
    Q_INVOKABLE void removeShortcut(const QUuid& id);
    // Puts the last removed binding back where it was.
    Q_INVOKABLE void undoRemoval();
    Q_INVOKABLE void forgetRemoval();
    QString undoableRemoval() const { return removed_ ? removed_->second.appName : QString(); }

    // Tap thread (any thread). True when the launcher is on and `keyCode` is
    // bound; the application is then opened later on the main thread. Does
    // not block, and allocates only on a hit.
    bool launchShortcut(KeyCode keyCode) override;

    // Short display name of a key ("A", "Enter", "Esc", "Key 24").
    static QString keyDisplayName(KeyCode keyCode);
    Q_INVOKABLE QString keyName(qint64 keyCode) const { return keyDisplayName(keyCode); }

signals:
    void isEnabledChanged();
    void shortcutsChanged();
    void undoableRemovalChanged();

private:
    // The last removed binding and where it stood.
    std::optional<std::pair<qsizetype, LauncherShortcut>> removed_;

    struct Binding {
        KeyCode keyCode;
        // A plain copy of the URL: Qt's implicitly shared values are not
        // shared between the tap thread and the main thread.
        std::string appURL;
    };
    using Snapshot = std::vector<Binding>;

    void loadShortcuts();
    void saveShortcuts();
    void publishSnapshot();
    void launchApp(const QUrl& url);

    UserDefaults& defaults_;
    Workspace& workspace_;
    Scheduler& scheduler_;
    Console& console_;
    // Stored bytes that could not be decoded, until the list is next saved.
    std::optional<QByteArray> undecodable_;
    QPointer<AppLauncherManager> self_; // copied by deferred work; made on the main thread

    bool enabled_ = false;
    QList<LauncherShortcut> shortcuts_;

    // What the tap thread reads: the switch, and an immutable copy of the
    // bindings replaced whole on every change. The mutex guards only the
    // pointer, so the tap thread holds it just long enough to copy it.
    std::atomic<bool> tapEnabled_{false};
    // The key codes bound to an application, one bit each: a key that is not
    // bound (almost every key pressed with Hyper) is answered from here,
    // without the lock below. Written with the snapshot, bits set before the
    // snapshot names them and cleared after.
    std::array<std::atomic<uint64_t>, 4> boundKeys_{};
    mutable std::mutex snapshotMutex_;
    std::shared_ptr<const Snapshot> snapshot_;
};

} // namespace kestrune
