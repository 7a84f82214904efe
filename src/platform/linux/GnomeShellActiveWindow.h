#pragma once
// The focused application of GNOME Shell, told by Kestrune's Shell extension
// on the session bus, to Kestrune alone: the extension exports ShellExtension
// (kObjectPath) on the Shell's own connection, whose GetActiveApplication
// answers only the owner of Kestrune's bus name (kService), and calls
// ActiveApplicationChanged on that owner (kReceiverPath) whenever
// Shell.WindowTracker's focus app changes, never broadcasting it. Only calls
// from the current owner of org.gnome.Shell count; others are refused.
//
// The extension ships in two forms, one per range of Shell versions (ES
// modules from 45, the legacy imports before); the Shell runs the one that
// fits and calls the other out of date. Where the extension is installed but
// off, removeBlocker() turns it on through the Shell's own Extensions
// interface, and user extensions with it when they are off, which the
// blocker says beforehand (ShellUserExtensionsOff).
//
// Main thread only. The start-up state is read with short blocking calls
// before the constructor returns, so are the extensions' states after they
// change; the Shell answers these itself.

#include "platform/linux/ActiveWindowSource.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>

#include <memory>

class QDBusServiceWatcher;

namespace kestrune {

class GnomeShellActiveWindow final : public QObject, public ActiveWindowSource {
    Q_OBJECT

public:
    inline static const QString kShellService = QStringLiteral("org.gnome.Shell");
    inline static const QString kObjectPath = QStringLiteral("/com/kestrune/Kestrune/ShellExtension");
    inline static const QString kInterface = QStringLiteral("com.kestrune.Kestrune.ShellExtension");
    inline static const QString kService = QStringLiteral("com.kestrune.Kestrune");
    inline static const QString kReceiverPath = QStringLiteral("/com/kestrune/Kestrune/GnomeShell");
    inline static const QString kReceiverInterface = QStringLiteral("com.kestrune.Kestrune.GnomeShell");
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

    // What the extension's call carries; false when `sender` is not the Shell.
    bool receive(const QString& sender, const QVariantList& focus);

private slots:
    void onExtensionStateChanged(const QDBusMessage& message);
    void onShellOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

private:
    // Reads the extensions' states and, with one on, the focused application.
    void synchronize();
    QDBusMessage callShell(const QString& path, const QString& interface, const QString& method,
                           const QVariantList& arguments = {}) const;
    // True unless the Shell says user extensions are off as a whole.
    bool userExtensionsEnabled() const;
    static std::optional<WindowHints> hintsFrom(const QVariantList& arguments);
    void set(bool tracking, FrontmostBlocker blocker, std::optional<WindowHints> active);

    QDBusConnection bus_;
    std::unique_ptr<QObject> receiver_;
    bool registered_ = false;
    QDBusServiceWatcher* watcher_ = nullptr;
    QString shellOwner_;
    QString offExtension_; // an installed extension that is off, for removeBlocker
    bool tracking_ = false;
    FrontmostBlocker blocker_ = FrontmostBlocker::ShellExtensionMissing;
    std::optional<WindowHints> active_;
};

} // namespace kestrune
