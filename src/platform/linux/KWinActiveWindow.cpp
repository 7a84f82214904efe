#include "platform/linux/KWinActiveWindow.h"

#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QFileInfo>

namespace kestrune {

namespace {

const QString kScriptingPath = QStringLiteral("/Scripting");
const QString kScriptingInterface = QStringLiteral("org.kde.kwin.Scripting");
constexpr int kCallTimeoutMs = 2000;

// The object KWin's script calls. Its one slot is the whole exported interface.
class KWinCallbackReceiver final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.kestrune.Kestrune.KWin")

public:
    explicit KWinCallbackReceiver(KWinActiveWindow& owner)
        : owner_(owner)
    {
    }

public slots:
    // Strings throughout: the script's numbers would otherwise arrive as doubles.
    void WindowActivated(const QString& desktopFileName, const QString& resourceClass, const QString& resourceName,
                         const QString& pid)
    {
        if (!owner_.receive(message().service(), {desktopFileName, resourceClass, resourceName, pid}))
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("Only KWin reports the active window."));
    }

private:
    KWinActiveWindow& owner_;
};

} // namespace

KWinActiveWindow::KWinActiveWindow(const QDBusConnection& bus, const QString& scriptPath, QObject* parent)
    : QObject(parent)
    , bus_(bus)
    , scriptPath_(scriptPath)
{
    if (!bus_.isConnected() || !QFileInfo::exists(scriptPath_))
        return;
    receiver_ = std::make_unique<KWinCallbackReceiver>(*this);
    if (!bus_.registerObject(kObjectPath, receiver_.get(), QDBusConnection::ExportAllSlots))
        return;
    registered_ = bus_.registerService(kService);
    if (!registered_) {
        bus_.unregisterObject(kObjectPath);
        return;
    }
    watcher_ = new QDBusServiceWatcher(kKWinService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this, &KWinActiveWindow::onKWinOwnerChanged);
    kwinOwner_ = bus_.interface()->serviceOwner(kKWinService).value();
    tracking_ = loadScript();
}

KWinActiveWindow::~KWinActiveWindow()
{
    if (!registered_)
        return;
    if (!kwinOwner_.isEmpty())
        unloadScript();
    bus_.unregisterService(kService);
    bus_.unregisterObject(kObjectPath);
}

bool KWinActiveWindow::loadScript()
{
    if (kwinOwner_.isEmpty())
        return false;
    auto call = [&](const QString& method, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(kwinOwner_, kScriptingPath, kScriptingInterface, method);
        message.setArguments(arguments);
        return bus_.call(message, QDBus::Block, kCallTimeoutMs);
    };
    // One left behind by a Kestrune that did not quit cleanly would answer
    // in its place (and loading under its name would fail).
    call(QStringLiteral("unloadScript"), {kPluginName});
    const QDBusMessage loaded = call(QStringLiteral("loadScript"), {scriptPath_, kPluginName});
    if (loaded.type() != QDBusMessage::ReplyMessage || loaded.arguments().value(0).toInt() < 0)
        return false;
    // Runs every loaded script not yet running, the same on Plasma 5 and 6
    // (whose per-script objects live at different paths).
    return call(QStringLiteral("start"), {}).type() == QDBusMessage::ReplyMessage;
}

void KWinActiveWindow::unloadScript()
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(kwinOwner_, kScriptingPath, kScriptingInterface, QStringLiteral("unloadScript"));
    message << kPluginName;
    bus_.call(message, QDBus::Block, kCallTimeoutMs);
}

bool KWinActiveWindow::receive(const QString& sender, const QStringList& window)
{
    if (kwinOwner_.isEmpty() || sender != kwinOwner_)
        return false;
    std::optional<WindowHints> hints;
    WindowHints h;
    h.applicationId = window.value(0);
    h.windowClass = window.value(1);
    h.instance = window.value(2);
    if (const uint pid = window.value(3).toUInt(); pid > 0)
        h.executable = DesktopApplications::executableOfProcess(pid);
    if (!h.applicationId.isEmpty() || !h.windowClass.isEmpty() || !h.instance.isEmpty())
        hints = h;
    if (!tracking_ || hints == active_)
        return true;
    active_ = std::move(hints);
    changed();
    return true;
}

void KWinActiveWindow::onKWinOwnerChanged(const QString&, const QString&, const QString& newOwner)
{
    kwinOwner_ = newOwner;
    const bool tracking = loadScript();
    if (tracking == tracking_ && tracking)
        return;
    tracking_ = tracking;
    active_.reset();
    changed();
}

} // namespace kestrune

#include "KWinActiveWindow.moc"
