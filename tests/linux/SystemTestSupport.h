#pragma once
// Shared pieces of the Linux system-integration tests: the application
// object, waiting on events with a guard, and the real servers the tests run
// (an X server under Xvfb, a private D-Bus daemon).

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>

namespace kestrune::test {

using namespace std::chrono_literals;

inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "test_linux";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv); // lives for the process
}

// Runs the event loop until `done` holds; false when the guard ran out first,
// so that a fault fails the test instead of hanging it.
inline bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds guard = 10s)
{
    const QDeadlineTimer deadline(guard);
    QTimer wake; // makes the blocking wait below return at the deadline
    wake.setSingleShot(true);
    wake.start(guard);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Starts a program and reads the first line it prints (an address, a display
// number), which it prints once it is ready to serve.
inline QString startAndReadLine(QProcess& process, const QString& program, const QStringList& args,
                                std::chrono::milliseconds guard = 20s)
{
    process.setProgram(program);
    process.setArguments(args);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(static_cast<int>(guard.count())))
        return {};
    const QDeadlineTimer deadline(guard);
    while (!process.canReadLine()) {
        if (deadline.hasExpired() || process.state() != QProcess::Running)
            return {};
        process.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
    }
    return QString::fromUtf8(process.readLine()).trimmed();
}

inline void stopProcess(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

// An X server of the test's own, on a display number it picks itself.
class XvfbServer {
public:
    explicit XvfbServer(const QString& screen = QStringLiteral("320x240x24"))
    {
        const QString number = startAndReadLine(
            process_, QStringLiteral("Xvfb"),
            {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
             // No reset when the last client leaves: the next one could not connect meanwhile.
             QStringLiteral("-noreset"),
             QStringLiteral("-screen"), QStringLiteral("0"), screen});
        if (!number.isEmpty())
            display_ = QStringLiteral(":") + number;
    }
    ~XvfbServer() { stopProcess(process_); }

    bool isRunning() const { return !display_.isEmpty(); }
    QByteArray display() const { return display_.toLatin1(); }
    void kill()
    {
        process_.kill();
        process_.waitForFinished(5000);
    }

private:
    QProcess process_;
    QString display_;
};

// A D-Bus daemon of the test's own, with the session bus's configuration.
class PrivateBus {
public:
    PrivateBus()
    {
        address_ = startAndReadLine(process_, QStringLiteral("dbus-daemon"),
                                    {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                     QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    }
    ~PrivateBus() { stopProcess(process_); }

    bool isRunning() const { return !address_.isEmpty(); }
    QString address() const { return address_; }

private:
    QProcess process_;
    QString address_;
};

} // namespace kestrune::test
