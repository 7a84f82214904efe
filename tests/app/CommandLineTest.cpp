// kestrune's command line, through the real executable: what each option
// prints and returns, that --show, --quit, --pause and --resume reach the
// running instance, and
// that none of them starts a second one (nor its tap). Offscreen platform;
// runtime and settings folders of the test's own.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        QDir(home_.path()).mkpath(QStringLiteral("config/Kestrune"));
        QDir(home_.path()).mkpath(QStringLiteral("runtime"));
        QFile::setPermissions(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.path() + QStringLiteral("/config"));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime());
        env_.insert(QStringLiteral("HOME"), home_.path());
        env_.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        env_.remove(QStringLiteral("LANGUAGE"));
        env_.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        QFile settings(home_.path() + QStringLiteral("/config/Kestrune/settings.json"));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write(R"({"version": 1, "values": {"hasSeenOnboarding": true}})");
    }

    QString runtime() const { return home_.path() + QStringLiteral("/runtime"); }

    void start(QProcess& process, const QStringList& arguments = {})
    {
        process.setProcessEnvironment(env_);
        process.setProgram(QStringLiteral(KESTRUNE_BINARY));
        process.setArguments(arguments);
        process.start();
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    Outcome run(const QStringList& arguments)
    {
        QProcess process;
        start(process, arguments);
        Outcome result;
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "kestrune " << arguments.join(QLatin1Char(' ')).toStdString() << " did not finish";
            return result;
        }
        result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    // The instance is up once its socket listens.
    bool waitUntilListening(QProcess& process)
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 30000 && process.state() == QProcess::Running) {
            if (QFile::exists(runtime() + QStringLiteral("/kestrune.socket")))
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    QTemporaryDir home_;
    QProcessEnvironment env_;
};

// What only a process that ran the engine prints.
bool ranTheEngine(const Outcome& run)
{
    return run.out.contains(QStringLiteral("Quitting: the keyboards go back to the desktop as they were."))
           || run.out.contains(QStringLiteral("event tap"));
}

TEST_F(CommandLine, HelpAndVersionAnswerWithoutStartingAnything)
{
    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const Outcome help = run({option});
        EXPECT_EQ(help.status, 0) << option.toStdString();
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: kestrune [--show | --quit |"))) << help.out.toStdString();
        for (const char* listed :
             {"--show", "--quit", "--pause", "--resume", "--print-active-app", "--help", "--version", "README.md"})
            EXPECT_TRUE(help.out.contains(QLatin1String(listed))) << listed;
        EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();
    }
    const Outcome version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, QStringLiteral("Kestrune " PROJECT_VERSION "\n"));
    EXPECT_TRUE(QDir(runtime()).isEmpty()) << "no lock, no socket";
}

TEST_F(CommandLine, MistakesAreRefusedWithTheUsageLine)
{
    const struct {
        QStringList arguments;
        const char* says;
    } mistakes[] = {
        {{QStringLiteral("--frobnicate")}, "unknown option “--frobnicate”"},
        {{QStringLiteral("-x")}, "unknown option “-x”"},
        {{QStringLiteral("settings.json")}, "unexpected argument “settings.json”"},
        {{QStringLiteral("--show"), QStringLiteral("--quit")}, "one option at a time"},
        {{QStringLiteral("--pause"), QStringLiteral("--resume")}, "one option at a time"},
        {{QStringLiteral("--quit"), QStringLiteral("now")}, "unexpected argument “now”"},
    };
    for (const auto& mistake : mistakes) {
        const Outcome refused = run(mistake.arguments);
        const std::string what = mistake.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(refused.status, 2) << what;
        EXPECT_TRUE(refused.out.isEmpty()) << what << ": " << refused.out.toStdString();
        EXPECT_TRUE(refused.err.startsWith(QStringLiteral("kestrune: ") + QString::fromUtf8(mistake.says))
                    || refused.err.contains(QString::fromUtf8(mistake.says)))
            << what << ": " << refused.err.toStdString();
        EXPECT_TRUE(refused.err.contains(QStringLiteral("\nUsage: kestrune ["))) << what;
    }
    EXPECT_TRUE(QDir(runtime()).isEmpty()) << "a refused command started something";
}

TEST_F(CommandLine, WithNoneRunningQuitSucceedsAndPauseFails)
{
    const Outcome quit = run({QStringLiteral("--quit")});
    EXPECT_EQ(quit.status, 0);
    EXPECT_EQ(quit.out, QStringLiteral("Kestrune is not running.\n"));
    EXPECT_FALSE(ranTheEngine(quit));
    // Nothing was paused or resumed: a script must learn that.
    for (const QString& option : {QStringLiteral("--pause"), QStringLiteral("--resume")}) {
        const Outcome outcome = run({option});
        EXPECT_EQ(outcome.status, 1) << option.toStdString();
        EXPECT_EQ(outcome.err, QStringLiteral("Kestrune is not running.\n"));
        EXPECT_FALSE(ranTheEngine(outcome));
    }
    EXPECT_TRUE(QDir(runtime()).isEmpty());
}

TEST_F(CommandLine, EachRequestReachesTheRunningInstanceAndStartsNoOther)
{
    QProcess first;
    start(first);
    ASSERT_TRUE(waitUntilListening(first)) << first.readAllStandardOutput().toStdString();

    const Outcome show = run({QStringLiteral("--show")});
    EXPECT_EQ(show.status, 0);
    EXPECT_TRUE(show.out.contains(QStringLiteral("already running; its panel is now shown"))) << show.out.toStdString();
    EXPECT_FALSE(ranTheEngine(show)) << show.out.toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);

    // What a pause does to the keys is proven on the kernel (tests/vm).
    const Outcome pause = run({QStringLiteral("--pause")});
    EXPECT_EQ(pause.status, 0) << pause.err.toStdString();
    EXPECT_EQ(pause.out, QStringLiteral("Kestrune is paused: keys pass untouched.\n"));
    const Outcome resume = run({QStringLiteral("--resume")});
    EXPECT_EQ(resume.status, 0) << resume.err.toStdString();
    EXPECT_EQ(resume.out, QStringLiteral("Kestrune is remapping.\n"));
    EXPECT_FALSE(ranTheEngine(pause) || ranTheEngine(resume));

    const Outcome quit = run({QStringLiteral("--quit")});
    EXPECT_EQ(quit.status, 0) << quit.err.toStdString();
    EXPECT_EQ(quit.out, QStringLiteral("Kestrune has quit.\n"));
    EXPECT_FALSE(ranTheEngine(quit)) << quit.out.toStdString();
    // By the time --quit returns, the instance has finished, reset included.
    ASSERT_TRUE(first.waitForFinished(1000)) << "--quit returned before the instance ended";
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_EQ(first.readAllStandardOutput().count("Quitting: the keyboards go back to the desktop as they were."), 1);
    EXPECT_FALSE(QFile::exists(runtime() + QStringLiteral("/kestrune.lock")));

    // Once it has gone, --quit finds nothing to quit.
    EXPECT_EQ(run({QStringLiteral("--quit")}).out, QStringLiteral("Kestrune is not running.\n"));
}

TEST_F(CommandLine, ShowWithNoneRunningStartsTheInstance)
{
    QProcess first;
    start(first, {QStringLiteral("--show")});
    ASSERT_TRUE(waitUntilListening(first)) << first.readAllStandardOutput().toStdString();
    // A plain start now finds it and stands down.
    const Outcome second = run({});
    EXPECT_EQ(second.status, 0);
    EXPECT_TRUE(second.out.contains(QStringLiteral("already running"))) << second.out.toStdString();
    EXPECT_FALSE(ranTheEngine(second));

    const Outcome quit = run({QStringLiteral("--quit")});
    EXPECT_EQ(quit.status, 0);
    ASSERT_TRUE(first.waitForFinished(1000));
    EXPECT_EQ(first.readAllStandardOutput().count("Quitting: the keyboards go back to the desktop as they were."), 1);
}

} // namespace
