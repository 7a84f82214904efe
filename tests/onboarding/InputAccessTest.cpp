// Input access: which condition is reported, the command for exactly that,
// and the one-step fix run as a real process (a stand-in for pkexec that
// runs the helper, which here writes into a temporary folder).

#include "onboarding/InputAccess.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kestrune;
using Problem = InputAccess::Problem;

namespace {

class InputAccessTest : public ::testing::Test {
protected:
    InputAccessTest()
    {
        QDir(dir_.path()).mkpath(QStringLiteral("rules"));
        QDir(dir_.path()).mkpath(QStringLiteral("bin"));
        QDir(dir_.path()).mkpath(QStringLiteral("share"));
        touch(QStringLiteral("share/70-kestrune.rules"));
        paths_.uinputDevice = dir_.path() + QStringLiteral("/uinput");
        paths_.ruleFolders = {dir_.path() + QStringLiteral("/rules")};
        paths_.ruleSource = dir_.path() + QStringLiteral("/share/70-kestrune.rules");
        paths_.rootOnlyUpTo = dir_.path();
        paths_.canWrite = [this](const QString&) { return uinputWritable_; };
        paths_.pkexec = dir_.path() + QStringLiteral("/bin/pkexec");
        paths_.helper = dir_.path() + QStringLiteral("/bin/helper");
        paths_.sudo = dir_.path() + QStringLiteral("/bin/sudo");
        QFile sudo(paths_.sudo);
        if (sudo.open(QIODevice::WriteOnly))
            sudo.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }

    std::unique_ptr<InputAccess> make()
    {
        return std::make_unique<InputAccess>(paths_, [this] { return keyboards_; });
    }
    void touch(const QString& relative)
    {
        QFile file(dir_.path() + QLatin1Char('/') + relative);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    void script(const QString& relative, const QByteArray& body)
    {
        QFile file(dir_.path() + QLatin1Char('/') + relative);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + body);
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    bool waitForFix(InputAccess& access)
    {
        QSignalSpy finished(&access, &InputAccess::fixFinished);
        access.fix();
        EXPECT_TRUE(access.isFixing());
        EXPECT_TRUE(finished.wait(10000));
        return !finished.isEmpty() && finished.first().first().toBool();
    }

    QTemporaryDir dir_;
    InputAccess::Paths paths_;
    InputAccess::KeyboardState keyboards_{1, true};
    bool uinputWritable_ = true;
};

TEST_F(InputAccessTest, ReportsTheFirstConditionThatFailsWithItsCommand)
{
    const QString reload = QStringLiteral(
        "sudo udevadm control --reload-rules &&\n"
        "sudo udevadm trigger --action=change --subsystem-match=input --subsystem-match=misc");

    // No /dev/uinput at all: the module comes first, with the rule if missing.
    auto access = make();
    EXPECT_EQ(access->problem(), Problem::moduleNotLoaded);
    EXPECT_TRUE(access->problemText().contains(QStringLiteral("uinput module is not loaded")));
    EXPECT_EQ(access->command(), QStringLiteral("sudo modprobe uinput &&\nsudo install -m 644 %1 "
                                                "/etc/udev/rules.d/70-kestrune.rules &&\n").arg(paths_.ruleSource)
                                     + reload);
    // Without sudo it goes through pkexec; without either it is for root.
    {
        InputAccess::Paths noSudo = paths_;
        noSudo.sudo = dir_.path() + QStringLiteral("/bin/no-sudo");
        script(QStringLiteral("bin/pkexec"), "exit 0\n");
        InputAccess pkexec(noSudo, [this] { return keyboards_; });
        EXPECT_TRUE(pkexec.command().startsWith(QStringLiteral("pkexec modprobe uinput &&\npkexec install ")));
        EXPECT_FALSE(pkexec.commandNeedsRoot());
        QFile::remove(paths_.pkexec);
        InputAccess asRoot(noSudo, [this] { return keyboards_; });
        EXPECT_TRUE(asRoot.command().startsWith(QStringLiteral("modprobe uinput &&\ninstall ")));
        EXPECT_TRUE(asRoot.commandNeedsRoot());
    }

    // The device exists but may not be written, and no rule exists: the rule.
    touch(QStringLiteral("uinput"));
    uinputWritable_ = false;
    access->refresh();
    EXPECT_EQ(access->problem(), Problem::ruleNotInstalled);
    EXPECT_TRUE(access->command().startsWith(QStringLiteral("sudo install -m 644 ")));

    // With the rule in place, the device itself is named.
    touch(QStringLiteral("rules/70-kestrune.rules"));
    access->refresh();
    EXPECT_EQ(access->problem(), Problem::uinputNotWritable);
    EXPECT_TRUE(access->problemText().contains(QStringLiteral("/dev/uinput")));
    EXPECT_EQ(access->command(), reload);

    // Writable, but every keyboard refuses reading.
    uinputWritable_ = true;
    keyboards_ = {2, false};
    access->refresh();
    EXPECT_EQ(access->problem(), Problem::noKeyboardReadable);

    // One readable keyboard, or none present at all, is enough.
    keyboards_ = {2, true};
    access->refresh();
    EXPECT_EQ(access->problem(), Problem::none);
    EXPECT_TRUE(access->command().isEmpty());
    keyboards_ = {0, false};
    access->refresh();
    EXPECT_EQ(access->problem(), Problem::none);

    // Access that works without the rule (a user in the input group) is fine.
    QFile::remove(dir_.path() + QStringLiteral("/rules/70-kestrune.rules"));
    access->refresh();
    EXPECT_EQ(access->problem(), Problem::none);

    // The rule source is one word for the shell whatever its folder holds:
    // the shell gives the path back as it is and runs nothing of it.
    uinputWritable_ = false;
    const QString marker = dir_.path() + QStringLiteral("/ran");
    for (const QString& folder :
         {QStringLiteral("My Kestrune"), QStringLiteral("$(touch %1)").arg(marker),
          QStringLiteral("`touch %1`").arg(marker), QStringLiteral("it's;touch %1").arg(marker),
          QStringLiteral("a|b&c>d"), QStringLiteral("*"), QStringLiteral("tab\there"), QStringLiteral("plain")}) {
        paths_.ruleSource = QStringLiteral("/home/me/") + folder + QStringLiteral("/70-kestrune.rules");
        access = make();
        const QString command = access->command();
        const QString start = QStringLiteral("install -m 644 ");
        const qsizetype from = command.indexOf(start) + start.size();
        const QString word = command.mid(from, command.indexOf(QStringLiteral(" /etc/udev/rules.d/")) - from);
        QProcess shell;
        shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("printf %s ") + word});
        ASSERT_TRUE(shell.waitForFinished(5000));
        EXPECT_EQ(QString::fromUtf8(shell.readAllStandardOutput()), paths_.ruleSource) << command.toStdString();
        EXPECT_FALSE(QFile::exists(marker)) << "the shown command ran code: " << command.toStdString();
    }
    access->copyCommand();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), access->command());
}

TEST_F(InputAccessTest, OneStepFixRunsTheHelperThroughPkexec)
{
    // Without pkexec, or without the helper, only the command is offered.
    auto access = make();
    EXPECT_FALSE(access->canFixInOneStep());
    script(QStringLiteral("bin/pkexec"), "echo \"$@\" > \"" + QFile::encodeName(dir_.path()) + "/pkexec-args\"\nexec \"$@\"\n");
    EXPECT_FALSE(access->canFixInOneStep());

    // The helper loads the "module" and installs the "rule".
    const QByteArray root = QFile::encodeName(dir_.path());
    script(QStringLiteral("bin/helper"), "touch " + root + "/uinput " + root + "/rules/70-kestrune.rules\n");
    ASSERT_TRUE(access->canFixInOneStep());
    EXPECT_EQ(access->problem(), Problem::moduleNotLoaded);
    EXPECT_TRUE(waitForFix(*access));
    EXPECT_FALSE(access->isFixing());
    EXPECT_EQ(access->problem(), Problem::none);
    EXPECT_TRUE(access->fixError().isEmpty());
    QFile args(dir_.path() + QStringLiteral("/pkexec-args"));
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(args.readAll().trimmed(), QFile::encodeName(paths_.helper)) << "pkexec is given the helper and nothing else";
}

// Packaged, the input service reads the keyboards: only whether it answers
// counts, and the fix (the same helper) starts it.
TEST_F(InputAccessTest, WithTheInputServiceTheFixStartsIt)
{
    const QString started = dir_.path() + QStringLiteral("/started");
    paths_.serviceRunning = [started] { return QFile::exists(started); };
    paths_.ruleSource = dir_.path() + QStringLiteral("/no-such.rules"); // not needed for the service
    uinputWritable_ = false; // nor is the user's own access
    script(QStringLiteral("bin/pkexec"), "exec \"$@\"\n");
    script(QStringLiteral("bin/helper"), "touch " + QFile::encodeName(started) + "\n");
    auto access = make();
    EXPECT_EQ(access->problem(), Problem::serviceNotRunning);
    EXPECT_EQ(access->command(), QStringLiteral("sudo systemctl enable --now kestrune-inputd.service"));
    ASSERT_TRUE(access->canFixInOneStep());
    EXPECT_TRUE(waitForFix(*access));
    EXPECT_EQ(access->problem(), Problem::none);
}

// pkexec runs the helper as root and the helper installs the rule: unless
// both, and every folder above them, are root's alone (not so after a
// --prefix ~/.local install), an administrator would authorise what another
// account may rewrite, so only the command is shown.
TEST_F(InputAccessTest, OneStepOnlyWhileTheHelperAndTheRuleAreRootsAlone)
{
    script(QStringLiteral("bin/pkexec"), "exit 0\n");
    script(QStringLiteral("bin/helper"), "exit 0\n");
    constexpr uid_t kUser = 65534;
    const struct {
        const char* path; // below the temporary folder
        uid_t owner;
        mode_t mode;
    } asMade[] = {{"", 0, 0700}, {"bin", 0, 0755}, {"bin/helper", 0, 0700}, {"share", 0, 0755},
                  {"share/70-kestrune.rules", 0, 0644}};
    const struct {
        const char* what;
        const char* path;
        uid_t owner;
        mode_t mode;
        bool oneStep;
    } cases[] = {
        {"all root's", "bin/helper", 0, 0755, true},
        {"the helper is a user's", "bin/helper", kUser, 0755, false},
        {"the helper is writable by all", "bin/helper", 0, 0757, false},
        {"the helper's folder is a user's", "bin", kUser, 0755, false},
        {"the rule is a user's", "share/70-kestrune.rules", kUser, 0644, false},
        {"the rule's folder is writable by its group", "share", 0, 0775, false},
        {"the folder above both is a user's", "", kUser, 0700, false},
    };
    const auto set = [this](const char* relative, uid_t owner, mode_t mode) {
        const QByteArray path = QFile::encodeName(dir_.path() + QLatin1Char('/') + QLatin1String(relative));
        ASSERT_EQ(::chown(path.constData(), owner, owner), 0) << relative;
        ASSERT_EQ(::chmod(path.constData(), mode), 0) << relative;
    };
    for (const auto& c : cases) {
        for (const auto& made : asMade)
            set(made.path, made.owner, made.mode);
        set(c.path, c.owner, c.mode);
        auto access = make();
        EXPECT_EQ(access->canFixInOneStep(), c.oneStep) << c.what;
        EXPECT_FALSE(access->command().isEmpty()) << c.what;
    }
}

TEST_F(InputAccessTest, AFixThatDidNotTakeSaysWhy)
{
    script(QStringLiteral("bin/helper"), "exit 0\n");
    // The user dismissed polkit's prompt.
    script(QStringLiteral("bin/pkexec"), "exit 126\n");
    auto access = make();
    EXPECT_FALSE(waitForFix(*access));
    EXPECT_TRUE(access->fixError().contains(QStringLiteral("cancelled")));
    EXPECT_EQ(access->problem(), Problem::moduleNotLoaded);

    // The helper failed.
    script(QStringLiteral("bin/pkexec"), "exit 1\n");
    EXPECT_FALSE(waitForFix(*access));
    EXPECT_TRUE(access->fixError().contains(QStringLiteral("failed")));

    // The helper ran, yet access is still refused.
    script(QStringLiteral("bin/pkexec"), "exit 0\n");
    EXPECT_FALSE(waitForFix(*access));
    EXPECT_TRUE(access->fixError().contains(QStringLiteral("still refused")));
}

} // namespace
