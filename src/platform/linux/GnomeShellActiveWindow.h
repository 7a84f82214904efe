#pragma once
// The focused application of GNOME Shell, told by Kestrune's Shell extension
// on the session bus: it exports ShellExtension (kObjectPath) on the Shell's
// own connection, answers GetActiveApplication and emits
// ActiveApplicationChanged whenever Shell.WindowTracker's focus app changes.
// Only what comes from the current owner of org.gnome.Shell counts: any
// other client could send the same signal.
//
// The extension ships in two forms, one per range of Shell versions (ES
// modules from 45, the legacy imports before); the Shell runs the one that
// fits and calls the other out of date. Where the extension is installed but
// off, removeBlocker() turns it on through the Shell's own Extensions
// interface (and user extensions with it, when they are off).
//
// Main thread only. The start-up state is read with short blocking calls
// before the constructor returns, so are the extensions' states after they
// change; the Shell answers these itself.

#include "platform/linux/ActiveWindowSource.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>

class QDBusServiceWatcher;

namespace kestrune {

class GnomeShellActiveWindow final : public QObject, public ActiveWindowSource {
    Q_OBJECT

public:
    inline static const QString kShellService = QStringLiteral("org.gnome.Shell");
    inline static const QString kObjectPath = QStringLiteral("/com/kestrune/Kestrune/ShellExtension");
    inline static const QString kInterface = QStringLiteral("com.kestrune.Kestrune.ShellExtension");
    // For GNOME 45 and later, then for 43 and 44.
    inline static const QStringList kExtensionUuids{QStringLiteral("kestrune@kestrune.com"),
                                                    QStringLiteral("kestrune-legacy@kestrune.com")};

    // The Shell's extension states (ExtensionState in the Shell's sources).
    enum ExtensionState { Enabled = 1, Disabled = 2, Error = 3, OutOfDate = 4, Initialized = 6 };

    explicit GnomeShellActiveWindow(const QDBusConnection& bus, QObject* parent = nullptr);
    ~GnomeShellActiveWindow() override;

    bool isTracking() const override { return tracking_; }
    const std::optional<WindowHints>& active() const override { return active_; }
    FrontmostBlocker blocker() const override { return tracking_ ? FrontmostBlocker::None : blocker_; }
    // Turns the installed extension on.
    void removeBlocker() override;

private slots:
    void onActiveApplicationChanged(const QDBusMessage& message);
    void onExtensionStateChanged(const QDBusMessage& message);
    void onShellOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

private:
    // Reads the extensions' states and, with one on, the focused application.
    void synchronize();
    QDBusMessage callShell(const QString& path, const QString& interface, const QString& method,
                           const QVariantList& arguments = {}) const;
    static std::optional<WindowHints> hintsFrom(const QVariantList& arguments);
    void set(bool tracking, FrontmostBlocker blocker, std::optional<WindowHints> active);

    QDBusConnection bus_;
    QDBusServiceWatcher* watcher_ = nullptr;
    QString shellOwner_;
    QString offExtension_; // an installed extension that is off, for removeBlocker
    bool tracking_ = false;
    FrontmostBlocker blocker_ = FrontmostBlocker::ShellExtensionMissing;
    std::optional<WindowHints> active_;
};

} // namespace kestrune
