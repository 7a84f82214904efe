#include "platform/linux/GnomeShellActiveWindow.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace kestrune {

namespace {

const QString kShellPath = QStringLiteral("/org/gnome/Shell");
const QString kExtensionsInterface = QStringLiteral("org.gnome.Shell.Extensions");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr int kCallTimeoutMs = 2000;

// An a{sv} reply argument as a map.
QVariantMap mapOf(const QVariant& value)
{
    if (value.canConvert<QDBusArgument>()) {
        QVariantMap map;
        value.value<QDBusArgument>() >> map;
        return map;
    }
    return value.toMap();
}

} // namespace

GnomeShellActiveWindow::GnomeShellActiveWindow(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , bus_(bus)
{
    if (!bus_.isConnected())
        return;
    watcher_ = new QDBusServiceWatcher(kShellService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this, &GnomeShellActiveWindow::onShellOwnerChanged);
    // Any sender: the owner is checked for each signal, which a sender match
    // would leave to the bus.
    bus_.connect(QString(), kObjectPath, kInterface, QStringLiteral("ActiveApplicationChanged"), this,
                 SLOT(onActiveApplicationChanged(QDBusMessage)));
    bus_.connect(kShellService, kShellPath, kExtensionsInterface, QStringLiteral("ExtensionStateChanged"), this,
                 SLOT(onExtensionStateChanged(QDBusMessage)));
    shellOwner_ = bus_.interface()->serviceOwner(kShellService).value();
    synchronize();
}

GnomeShellActiveWindow::~GnomeShellActiveWindow()
{
    if (!bus_.isConnected())
        return;
    bus_.disconnect(QString(), kObjectPath, kInterface, QStringLiteral("ActiveApplicationChanged"), this,
                    SLOT(onActiveApplicationChanged(QDBusMessage)));
    bus_.disconnect(kShellService, kShellPath, kExtensionsInterface, QStringLiteral("ExtensionStateChanged"), this,
                    SLOT(onExtensionStateChanged(QDBusMessage)));
}

QDBusMessage GnomeShellActiveWindow::callShell(const QString& path, const QString& interface, const QString& method,
                                               const QVariantList& arguments) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(shellOwner_, path, interface, method);
    call.setArguments(arguments);
    return bus_.call(call, QDBus::Block, kCallTimeoutMs);
}

void GnomeShellActiveWindow::synchronize()
{
    if (shellOwner_.isEmpty()) {
        set(false, FrontmostBlocker::DesktopUnsupported, std::nullopt);
        return;
    }
    QString enabled;
    QString off;
    for (const QString& uuid : kExtensionUuids) {
        const QDBusMessage reply = callShell(kShellPath, kExtensionsInterface, QStringLiteral("GetExtensionInfo"), {uuid});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            continue;
        const int state = qRound(mapOf(reply.arguments().constFirst()).value(QStringLiteral("state")).toDouble());
        if (state == Enabled && enabled.isEmpty())
            enabled = uuid;
        else if ((state == Disabled || state == Initialized) && off.isEmpty())
            off = uuid;
    }
    offExtension_ = off;
    if (enabled.isEmpty()) {
        set(false, off.isEmpty() ? FrontmostBlocker::ShellExtensionMissing : FrontmostBlocker::ShellExtensionOff,
            std::nullopt);
        return;
    }
    const QDBusMessage reply = callShell(kObjectPath, kInterface, QStringLiteral("GetActiveApplication"));
    if (reply.type() != QDBusMessage::ReplyMessage) {
        // On, but not answering: it failed in a way the Shell did not notice.
        set(false, FrontmostBlocker::ShellExtensionMissing, std::nullopt);
        return;
    }
    set(true, FrontmostBlocker::None, hintsFrom(reply.arguments()));
}

void GnomeShellActiveWindow::removeBlocker()
{
    if (offExtension_.isEmpty() || shellOwner_.isEmpty())
        return;
    // With user extensions off as a whole, enabling one would change nothing.
    const QDBusMessage setting = callShell(kShellPath, kPropertiesInterface, QStringLiteral("Get"),
                                           {kExtensionsInterface, QStringLiteral("UserExtensionsEnabled")});
    if (setting.type() == QDBusMessage::ReplyMessage && !setting.arguments().isEmpty()
        && !setting.arguments().constFirst().value<QDBusVariant>().variant().toBool()) {
        callShell(kShellPath, kPropertiesInterface, QStringLiteral("Set"),
                  {kExtensionsInterface, QStringLiteral("UserExtensionsEnabled"),
                   QVariant::fromValue(QDBusVariant(true))});
    }
    callShell(kShellPath, kExtensionsInterface, QStringLiteral("EnableExtension"), {offExtension_});
    synchronize(); // the state-change signal may come before or after; either way this is current
}

void GnomeShellActiveWindow::onActiveApplicationChanged(const QDBusMessage& message)
{
    if (shellOwner_.isEmpty() || message.service() != shellOwner_)
        return;
    const std::optional<WindowHints> hints = hintsFrom(message.arguments());
    if (!tracking_) {
        // The extension came up (enabled here or elsewhere): ask for the whole state.
        synchronize();
        return;
    }
    set(true, FrontmostBlocker::None, hints);
}

void GnomeShellActiveWindow::onExtensionStateChanged(const QDBusMessage& message)
{
    if (message.service() != shellOwner_ || message.arguments().isEmpty()
        || !kExtensionUuids.contains(message.arguments().constFirst().toString()))
        return;
    synchronize();
}

void GnomeShellActiveWindow::onShellOwnerChanged(const QString&, const QString&, const QString& newOwner)
{
    shellOwner_ = newOwner;
    synchronize();
}

std::optional<WindowHints> GnomeShellActiveWindow::hintsFrom(const QVariantList& arguments)
{
    // (appId, wmClass, wmClassInstance, pid); all empty when nothing has focus.
    if (arguments.size() < 4)
        return std::nullopt;
    WindowHints hints;
    hints.applicationId = arguments.at(0).toString();
    hints.windowClass = arguments.at(1).toString();
    hints.instance = arguments.at(2).toString();
    const int pid = arguments.at(3).toInt();
    if (pid > 0)
        hints.executable = DesktopApplications::executableOfProcess(static_cast<quint32>(pid));
    if (hints.applicationId.isEmpty() && hints.windowClass.isEmpty() && hints.instance.isEmpty())
        return std::nullopt;
    return hints;
}

void GnomeShellActiveWindow::set(bool tracking, FrontmostBlocker blocker, std::optional<WindowHints> active)
{
    if (tracking == tracking_ && blocker == blocker_ && active == active_)
        return;
    tracking_ = tracking;
    blocker_ = blocker;
    active_ = std::move(active);
    changed();
}

} // namespace kestrune
