#include "onboarding/InputAccess.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace kestrune {

namespace {
// pkexec's own exit statuses: the prompt was dismissed, or authentication failed.
constexpr int kNotAuthorized = 126;
constexpr int kAuthenticationFailed = 127;

bool writable(const QString& path)
{
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

// Whether only root may change `path`: the file (symbolic links followed)
// and every folder above it, up to `top`, belong to root and may not be
// written by a group or other users. pkexec runs the helper as root and the
// helper copies the rule where udev reads it; files another account could
// swap would have an administrator authorise whatever that account put there.
bool onlyRootMayChange(const QString& path, const QString& top)
{
    QString current = QFileInfo(path).canonicalFilePath();
    const QString stop = QFileInfo(top).canonicalFilePath();
    if (current.isEmpty())
        return false;
    for (;;) {
        struct stat info {};
        if (::stat(QFile::encodeName(current).constData(), &info) != 0 || info.st_uid != 0
            || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
            return false;
        if (current == stop || current == QLatin1String("/"))
            return true;
        current = QFileInfo(current).path();
    }
}

// One word for the shell, whatever the path holds: the shown command is
// pasted into a terminal, where a folder named "$(…)" or "a;b" would
// otherwise run code. Single quotes keep everything literal but themselves.
QString quoted(const QString& path)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./,:+@%=-]+$"));
    if (plain.match(path).hasMatch())
        return path;
    QString escaped = path;
    escaped.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}
} // namespace

InputAccess::InputAccess(Paths paths, std::function<KeyboardState()> keyboards, QObject* parent)
    : QObject(parent), paths_(std::move(paths)), keyboards_(std::move(keyboards))
{
    refresh();
}

InputAccess::~InputAccess()
{
    if (process_) {
        process_->disconnect(this);
        process_->kill();
        process_->waitForFinished(1000);
    }
}

bool InputAccess::ruleInstalled() const
{
    for (const QString& folder : paths_.ruleFolders)
        if (QFileInfo::exists(folder + QLatin1Char('/') + paths_.ruleName))
            return true;
    return false;
}

void InputAccess::refresh()
{
    if (paths_.serviceRunning) {
        problem_ = paths_.serviceRunning() ? Problem::none : Problem::serviceNotRunning;
        emit changed();
        return;
    }
    moduleMissing_ = !QFileInfo::exists(paths_.uinputDevice);
    ruleMissing_ = !ruleInstalled();
    const bool uinputWritable =
        !moduleMissing_ && (paths_.canWrite ? paths_.canWrite(paths_.uinputDevice) : writable(paths_.uinputDevice));
    const KeyboardState keyboards = keyboards_ ? keyboards_() : KeyboardState{};
    const bool keyboardRefused = keyboards.count > 0 && !keyboards.anyReadable;

    Problem problem = Problem::none;
    if (moduleMissing_)
        problem = Problem::moduleNotLoaded;
    else if (ruleMissing_ && (!uinputWritable || keyboardRefused))
        problem = Problem::ruleNotInstalled;
    else if (!uinputWritable)
        problem = Problem::uinputNotWritable;
    else if (keyboardRefused)
        problem = Problem::noKeyboardReadable;
    problem_ = problem;
    emit changed();
}

QString InputAccess::problemText() const
{
    switch (problem_) {
    case Problem::none:
        return {};
    case Problem::moduleNotLoaded:
        return tr("The uinput module is not loaded, so Kestrune has no way to type the keys it changes.");
    case Problem::ruleNotInstalled:
        return tr("Kestrune's access rule is not installed, so it may not read your keyboard or type through "
                  "/dev/uinput.");
    case Problem::uinputNotWritable:
        return tr("You may not write to /dev/uinput, so Kestrune cannot type the keys it changes.");
    case Problem::noKeyboardReadable:
        return tr("None of your keyboards may be read by Kestrune.");
    case Problem::serviceNotRunning:
        return tr("Kestrune's input service is not running. It reads the keyboards for Kestrune, so that no other "
                  "program of yours can.");
    }
    return {};
}

QString InputAccess::command() const
{
    if (problem_ == Problem::none)
        return {};
    const QString tool = rootTool();
    const QString root = tool.isEmpty() ? QString() : tool + QLatin1Char(' ');
    if (problem_ == Problem::serviceNotRunning)
        return root + QStringLiteral("systemctl enable --now %1").arg(quoted(paths_.serviceUnit));
    QStringList steps;
    if (moduleMissing_)
        steps << root + QStringLiteral("modprobe uinput");
    if (ruleMissing_ && !paths_.ruleSource.isEmpty())
        steps << root + QStringLiteral("install -m 644 %1 /etc/udev/rules.d/%2").arg(quoted(paths_.ruleSource), paths_.ruleName);
    steps << root + QStringLiteral("udevadm control --reload-rules")
          << root + QStringLiteral("udevadm trigger --action=change --subsystem-match=input --subsystem-match=misc");
    return steps.join(QStringLiteral(" &&\n"));
}

QString InputAccess::rootTool() const
{
    const auto found = [](const QString& name) {
        return name.startsWith(QLatin1Char('/')) ? QFileInfo(name).isExecutable()
                                                 : !QStandardPaths::findExecutable(name).isEmpty();
    };
    if (found(paths_.sudo))
        return QStringLiteral("sudo");
    if (found(paths_.pkexec))
        return QStringLiteral("pkexec");
    return {};
}

QString InputAccess::pkexecPath() const
{
    if (paths_.pkexec.startsWith(QLatin1Char('/')))
        return QFileInfo(paths_.pkexec).isExecutable() ? paths_.pkexec : QString();
    return QStandardPaths::findExecutable(paths_.pkexec);
}

bool InputAccess::canFixInOneStep() const
{
    // The helper starts the service, or copies the rule: what it runs or
    // copies must be root's alone.
    return !paths_.helper.isEmpty() && QFileInfo(paths_.helper).isExecutable() && !pkexecPath().isEmpty()
        && onlyRootMayChange(paths_.helper, paths_.rootOnlyUpTo)
        && (paths_.serviceRunning || onlyRootMayChange(paths_.ruleSource, paths_.rootOnlyUpTo));
}

void InputAccess::fix()
{
    if (process_ || !canFixInOneStep())
        return;
    fixError_.clear();
    process_ = std::make_unique<QProcess>();
    process_->setProgram(pkexecPath());
    process_->setArguments({paths_.helper});
    process_->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(process_.get(), &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        bool ok = status == QProcess::NormalExit && exitCode == 0;
        if (!ok) {
            if (status == QProcess::NormalExit && (exitCode == kNotAuthorized || exitCode == kAuthenticationFailed))
                fixError_ = tr("Access was not granted: the password prompt was cancelled.");
            else
                fixError_ = tr("The access helper failed. Run the command below in a terminal instead.");
        }
        process_.release()->deleteLater();
        refresh();
        if (ok && problem_ != Problem::none)
            fixError_ = tr("The helper ran, but access is still refused. Log out and back in, then check again.");
        emit fixFinished(ok && problem_ == Problem::none);
    });
    connect(process_.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        fixError_ = tr("The access helper could not be started. Run the command below in a terminal instead.");
        process_.release()->deleteLater();
        refresh();
        emit fixFinished(false);
    });
    process_->start();
    emit changed();
}

void InputAccess::copyCommand() const
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(command());
}

} // namespace kestrune
