#include "app/LinuxBackend.h"

#include "platform/linux/FrontmostRoute.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <linux/input-event-codes.h>

namespace kestrune {

QString installedPath(const char* fromBinary)
{
    // The prefix is wherever the executable was installed (the package's
    // /usr, a `cmake --install --prefix` tree), not what was configured.
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') + QString::fromUtf8(fromBinary));
}

QString installedReadme()
{
    // A build that is not installed has it in its sources.
    const QString installed = installedPath(KESTRUNE_DOC_FROM_BINARY "/README.md");
    return QFileInfo::exists(installed) ? installed : QStringLiteral(KESTRUNE_README_IN_SOURCE);
}

LinuxBackend::LinuxBackend(Scheduler& scheduler, UserDefaults& defaults, Console& console, UpdateFramework& updates)
    : scheduler_(scheduler)
    , defaults_(defaults)
    , console_(console)
    , updates_(updates)
    , workspace_(makeSessionWorkspace(scheduler))
    , trust_(io_, [this] {
        if (grantAction_) {
            grantAction_();
            return;
        }
        const QString readme = installedReadme();
        if (QFileInfo::exists(readme))
            workspace_->openUrl(QUrl::fromLocalFile(readme));
        console_.printLine(QStringLiteral(
            "Kestrune needs to read the keyboards and write /dev/uinput. Install the package (it adds a udev "
            "rule that grants this to the user at the seat), or see \"Input access\" in %1.")
                               .arg(readme));
    })
    , inputMethod_(scheduler, QDBusConnection::sessionBus(), [this] { keyboard_.tapRawKey(KEY_HIRAGANA); })
{
    devices_.isOwnDevice = [](const QString& name) { return name == QLatin1String(kVirtualKeyboardName); };
    devices_.onKeyboardsChanged = [this] { keyboard_.rescanDevices(); };
    // Nothing may stay pressed across a suspend.
    wake_.beforeSleep = [this] { keyboard_.releaseAllForSleep(); };

    if (const QString socket = inputServiceSocket(); !socket.isEmpty()) {
        service_ = std::make_unique<InputServiceClient>(scheduler_, socket);
        serviceKeyboard_ = std::make_unique<ServiceKeyboard>(*service_);
        serviceRoster_ = std::make_unique<ServiceKeyboardRoster>(*service_);
        serviceTrust_ = std::make_unique<ServiceTrust>(*service_, [this] { trust_.openTrustSettings(); });
        // Back at the front: the service takes us again at once.
        QObject::connect(&session_, &LogindSession::activeChanged, service_.get(), [this](bool active) {
            if (active)
                service_->reconnect();
        });
    }
}

QString LinuxBackend::inputServiceSocket()
{
    const QString chosen = qEnvironmentVariable("KESTRUNE_INPUT_SERVICE");
    if (chosen == QLatin1String("off"))
        return {};
    if (!chosen.isEmpty())
        return chosen;
    const QString socket = QString::fromLatin1(inputd::kSocketPath);
    if (QFileInfo::exists(installedPath(KESTRUNE_INPUTD_FROM_BINARY)) || QFileInfo::exists(socket))
        return socket;
    return {};
}

Platform LinuxBackend::platform()
{
    KeyboardEvents& keyboard = service_ ? static_cast<KeyboardEvents&>(*serviceKeyboard_) : keyboard_;
    AccessibilityTrust& trust = service_ ? static_cast<AccessibilityTrust&>(*serviceTrust_) : trust_;
    KeyboardRoster* keyboards = service_ ? static_cast<KeyboardRoster*>(serviceRoster_.get()) : &keyboard_;
    return Platform{scheduler_, defaults_, console_,    keyboard,   shell_,   devices_, wake_,     trust,
                    capsLock_,  *workspace_, loginItem_, updates_, &session_, &inputMethod_, keyboards};
}

} // namespace kestrune
