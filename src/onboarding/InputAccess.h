#pragma once
// Why Kestrune may not read the keyboards or type through /dev/uinput, in
// the user's words, and the fix for exactly that: in one step through
// polkit's own prompt (pkexec running the small installed helper, which
// loads uinput, installs the access rule if missing and reloads udev, and
// does nothing else as root), or, where that cannot run or its files are
// not root's alone, the exact command to type, with a copy button (QML: the
// welcome window's first page and the panel's "Fix"). Main thread.
//
// The conditions, the first that fails being the one reported:
//   moduleNotLoaded     /dev/uinput does not exist
//   ruleNotInstalled    access is refused and no 70-kestrune.rules exists
//   uinputNotWritable   /dev/uinput exists but may not be written
//   noKeyboardReadable  keyboards exist and none may be read
// Where the input service reads the keyboards instead (the package), one
// condition replaces them all:
//   serviceNotRunning   the service does not answer; the fix enables and
//                       starts it

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtQml/qqmlregistration.h>
#include <functional>
#include <memory>

namespace kestrune {

class InputAccess : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(Problem problem READ problem NOTIFY changed)
    Q_PROPERTY(QString problemText READ problemText NOTIFY changed)
    // One step a line, each ending in " &&" but the last: pasted whole it runs
    // as one command line.
    Q_PROPERTY(QString command READ command NOTIFY changed)
    // True when the command has no sudo or pkexec before its steps (neither
    // is installed): it is to be run as root.
    Q_PROPERTY(bool commandNeedsRoot READ commandNeedsRoot NOTIFY changed)
    Q_PROPERTY(bool canFixInOneStep READ canFixInOneStep NOTIFY changed)
    Q_PROPERTY(bool isFixing READ isFixing NOTIFY changed)
    Q_PROPERTY(QString fixError READ fixError NOTIFY changed)

public:
    enum class Problem { none, moduleNotLoaded, ruleNotInstalled, uinputNotWritable, noKeyboardReadable, serviceNotRunning };
    Q_ENUM(Problem)

    struct KeyboardState {
        int count = 0;          // keyboards present
        bool anyReadable = false;
    };

    // Where things are; tests point these into a temporary folder.
    struct Paths {
        QString uinputDevice = QStringLiteral("/dev/uinput");
        // Folders udev reads rules from; the rule counts as installed in any.
        QStringList ruleFolders = {QStringLiteral("/etc/udev/rules.d"), QStringLiteral("/run/udev/rules.d"),
                                   QStringLiteral("/usr/local/lib/udev/rules.d"),
                                   QStringLiteral("/usr/lib/udev/rules.d"), QStringLiteral("/lib/udev/rules.d")};
        QString ruleName = QStringLiteral("70-kestrune.rules");
        // The rule file shipped with Kestrune, which the command copies.
        QString ruleSource;
        // The installed helper; the one-step fix needs it and pkexec.
        QString helper;
        // The one-step fix is offered only while the helper, the rule source
        // and every folder above them up to this one belong to root and no
        // group or other user may write them. Tests stop at their temporary
        // folder (/tmp itself is writable by all).
        QString rootOnlyUpTo = QStringLiteral("/");
        // pkexec's name or path (looked up on the PATH).
        QString pkexec = QStringLiteral("pkexec");
        // sudo's, which the command uses where it is installed (else pkexec,
        // else the command is to be run as root).
        QString sudo = QStringLiteral("sudo");
        // Whether the user may write a file (access(2); root may write all).
        std::function<bool(const QString&)> canWrite;
        // Set where the input service reads the keyboards: whether it answers.
        std::function<bool()> serviceRunning;
        // The service's systemd unit, for the command.
        QString serviceUnit = QStringLiteral("kestrune-inputd.service");
    };

    InputAccess(Paths paths, std::function<KeyboardState()> keyboards, QObject* parent = nullptr);
    ~InputAccess() override;

    Problem problem() const { return problem_; }
    QString problemText() const;
    // The command that fixes the current problem, for a terminal; empty
    // when nothing needs fixing.
    QString command() const;
    bool commandNeedsRoot() const { return rootTool().isEmpty(); }
    bool canFixInOneStep() const;
    bool isFixing() const { return process_ != nullptr; }
    // Why the last one-step fix did not happen, or empty.
    QString fixError() const { return fixError_; }

    // Reads the conditions again.
    Q_INVOKABLE void refresh();
    // Runs the helper through pkexec (where possible); refreshes when done
    // and then emits fixFinished.
    Q_INVOKABLE void fix();
    Q_INVOKABLE void copyCommand() const;

signals:
    void changed();
    void fixFinished(bool succeeded);

private:
    bool ruleInstalled() const;
    QString pkexecPath() const;
    // "sudo", "pkexec", or empty: what the command's steps start with.
    QString rootTool() const;

    Paths paths_;
    std::function<KeyboardState()> keyboards_;
    Problem problem_ = Problem::none;
    bool moduleMissing_ = false;
    bool ruleMissing_ = false;
    QString fixError_;
    std::unique_ptr<QProcess> process_;
};

} // namespace kestrune
