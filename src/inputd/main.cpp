// kestrune-inputd: the input service. It owns the keyboards, the virtual
// keyboard and the key engine for the user at seat0, whose Kestrune is its
// client over a socket under /run. Started by systemd as its own system
// user; see kestrune-inputd.service.

#include "app/SignalQuit.h"
#include "base/Console.h"
#include "base/QtScheduler.h"
#include "inputd/InputService.h"
#include "inputd/SeatSession.h"
#include "platform/linux/CapsLockMapping.h"
#include "platform/linux/LibevdevIo.h"
#include "platform/linux/LinuxCapsLock.h"
#include "platform/linux/LinuxInputTrust.h"
#include "platform/linux/LinuxKeyboard.h"
#include "platform/linux/LinuxShellRunner.h"
#include "platform/linux/LogindWakeNotifier.h"
#include "platform/linux/UdevDeviceMonitor.h"
#include "platform/posix/ProcessShellRunner.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>

#include <cstdio>

using namespace kestrune;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrune-inputd"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Kestrune's input service: reads the keyboards for the user at seat0 and remaps them as that user's "
        "Kestrune asks. Started by systemd (kestrune-inputd.service)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption socketOption(QStringLiteral("socket"),
                                          QStringLiteral("Listen on PATH (default %1).").arg(inputd::kSocketPath),
                                          QStringLiteral("PATH"), QString::fromLatin1(inputd::kSocketPath));
    parser.addOption(socketOption);
    parser.process(app);

    StdoutConsole console;
    QtScheduler scheduler;
    LibevdevIo io;
    CapsLockMapping mapping;
    ProcessShellRunner processShell;
    LinuxShellRunner shell{mapping, processShell};
    LinuxKeyboard keyboard{io, mapping, &scheduler};
    LinuxCapsLock capsLock{keyboard};
    LinuxInputTrust trust{io};
    UdevDeviceMonitor devices;
    devices.isOwnDevice = [](const QString& name) { return name == QLatin1String(kVirtualKeyboardName); };
    devices.onKeyboardsChanged = [&keyboard] { keyboard.rescanDevices(); };
    LogindWakeNotifier wake;
    wake.beforeSleep = [&keyboard] { keyboard.releaseAllForSleep(); };

    SeatSession seat(QDBusConnection::systemBus());
    if (!QDBusConnection::systemBus().isConnected())
        console.printLine(QStringLiteral("kestrune-inputd: the system bus cannot be reached; nothing is read until "
                                         "logind answers"));
    InputService service({scheduler, console, keyboard, shell, devices, wake, trust, capsLock, &keyboard}, seat);
    QString error;
    if (!service.listen(parser.value(socketOption), &error)) {
        std::fprintf(stderr, "kestrune-inputd: cannot listen on %s: %s\n", qPrintable(parser.value(socketOption)),
                     qPrintable(error));
        return 1;
    }
    SignalQuit::install(&app);
    return QCoreApplication::exec();
}
