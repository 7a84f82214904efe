#include "platform/linux/GnomeShellActiveWindow.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusContext>
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

// The object the extension calls. Its one slot is the whole exported interface.
class ShellCallbackReceiver final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.kestrune.Kestrune.GnomeShell")

public:
    explicit ShellCallbackReceiver(GnomeShellActiveWindow& owner)
        : owner_(owner)
    {
    }

public slots:
    void ActiveApplicationChanged(const QString& appId, const QString& wmClass, const QString& instance, int pid)
    {
        if (!owner_.receive(message().service(), {appId, wmClass, instance, pid}))
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("Only GNOME Shell reports the active application."));
    }

private:
    GnomeShellActiveWindow& owner_;
};

} // namespace

GnomeShellActiveWindow::GnomeShellActiveWindow(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , bus_(bus)
{
    if (!bus_.isConnected())
        return;
    watcher_ = new QDBusServiceWatcher(kShellService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this, &GnomeShellActiveWindow::onShellOwnerChanged);
    // The extension tells and answers only the owner of Kestrune's name;
    // without it the active application stays unknown.
    receiver_ = std::make_unique<ShellCallbackReceiver>(*this);
    if (bus_.registerObject(kReceiverPath, receiver_.get(), QDBusConnection::ExportAllSlots)) {
        registered_ = bus_.registerService(kService);
        if (!registered_)
            bus_.unregisterObject(kReceiverPath);
    }
    bus_.connect(kShellService, kShellPath, kExtensionsInterface, QStringLiteral("ExtensionStateChanged"), this,
                 SLOT(onExtensionStateChanged(QDBusMessage)));
    shellOwner_ = bus_.interface()->serviceOwner(kShellService).value();
    synchronize();
}

GnomeShellActiveWindow::~GnomeShellActiveWindow()
{
    if (!bus_.isConnected())
        return;
    if (registered_) {
        bus_.unregisterService(kService);
        bus_.unregisterObject(kReceiverPath);
    }
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
        FrontmostBlocker blocker = FrontmostBlocker::ShellExtensionMissing;
        if (!off.isEmpty())
            blocker = userExtensionsEnabled() ? FrontmostBlocker::ShellExtensionOff
                                              : FrontmostBlocker::ShellUserExtensionsOff;
        set(false, blocker, std::nullopt);
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
    // With user extensions off as a whole, enabling one would change nothing;
    // the blocker has said that they come on too.
    if (!userExtensionsEnabled()) {
        callShell(kShellPath, kPropertiesInterface, QStringLiteral("Set"),
                  {kExtensionsInterface, QStringLiteral("UserExtensionsEnabled"),
                   QVariant::fromValue(QDBusVariant(true))});
    }
    callShell(kShellPath, kExtensionsInterface, QStringLiteral("EnableExtension"), {offExtension_});
    synchronize(); // the state-change signal may come before or after; either way this is current
}

bool GnomeShellActiveWindow::userExtensionsEnabled() const
{
    const QDBusMessage setting = callShell(kShellPath, kPropertiesInterface, QStringLiteral("Get"),
                                           {kExtensionsInterface, QStringLiteral("UserExtensionsEnabled")});
    return setting.type() != QDBusMessage::ReplyMessage || setting.arguments().isEmpty()
        || setting.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

bool GnomeShellActiveWindow::receive(const QString& sender, const QVariantList& focus)
{
    if (shellOwner_.isEmpty() || sender != shellOwner_)
        return false;
    if (!tracking_) {
        // The extension came up (enabled here or elsewhere): ask for the whole state.
        synchronize();
        return true;
    }
    set(true, FrontmostBlocker::None, hintsFrom(focus));
    return true;
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

#include "GnomeShellActiveWindow.moc"
