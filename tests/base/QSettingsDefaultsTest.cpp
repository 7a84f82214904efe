#include "base/QSettingsDefaults.h"

#include "base/Console.h"

#include "support/AsOrdinaryUser.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Kind = kestrune::DefaultsProblem::Kind;
using kestrune::test::AsOrdinaryUser;

struct RecordingConsole final : kestrune::Console {
    void printLine(const QString& line) override { lines << line; }
    QStringList lines;
};

// A folder of the test's own that an ordinary user may enter, and the ini
// file in it.
class QSettingsProblems : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(dir()));
        setMode(tmp_.path(), 0755);
        setMode(dir(), 0777);
    }
    QString dir() const { return tmp_.path() + QStringLiteral("/prefs"); }
    QString file() const { return dir() + QStringLiteral("/defaults.ini"); }
    QStringList keptAside() const
    {
        return QDir(dir()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".unreadable-"));
    }
    // As root, who owns the folders, even while acting as an ordinary user.
    static void setMode(const QString& path, int mode)
    {
        const uid_t was = ::geteuid();
        ASSERT_TRUE(was == 0 || ::seteuid(0) == 0);
        const int result = ::chmod(QFile::encodeName(path).constData(), mode_t(mode));
        ASSERT_TRUE(was == 0 || ::seteuid(was) == 0);
        ASSERT_EQ(result, 0);
    }
    void writeFile(const QByteArray& bytes)
    {
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    static QByteArray read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir tmp_;
    RecordingConsole console_;
};

// Linux has no native store with typed values, so this runs on IniFormat,
// which writes text: strings and data keep their types across a reload, but a
// Boolean comes back as the string "true" — checked only through the object
// that wrote it.
TEST(QSettingsDefaults, TypedValuesWrittenThrough)
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("defaults.ini"));
    const QByteArray blob("\x00\xff", 2);
    QSettings settings(path, QSettings::IniFormat);
    kestrune::QSettingsDefaults d(settings);
    d.setValue(QStringLiteral("flag"), true);
    d.setValue(QStringLiteral("name"), QStringLiteral("true"));
    d.setValue(QStringLiteral("blob"), blob);
    d.setValue(QStringLiteral("gone"), QStringLiteral("x"));
    d.removeValue(QStringLiteral("gone"));
    settings.setValue(QStringLiteral("number"), 42);

    EXPECT_EQ(d.boolValue(QStringLiteral("flag")), true);
    EXPECT_FALSE(d.boolValue(QStringLiteral("name"))); // "true" is text, not a Boolean
    EXPECT_FALSE(d.stringValue(QStringLiteral("blob")));
    EXPECT_FALSE(d.value(QStringLiteral("number")));

    QSettings reread(path, QSettings::IniFormat);
    kestrune::QSettingsDefaults fresh(reread);
    EXPECT_EQ(fresh.stringValue(QStringLiteral("name")), QStringLiteral("true"));
    EXPECT_EQ(fresh.dataValue(QStringLiteral("blob")), blob);
    EXPECT_FALSE(fresh.value(QStringLiteral("gone")));
}

// A folder the user may not write: the change holds in memory, the panel is
// told, and the next change after the folder is writable saves everything.
TEST_F(QSettingsProblems, ASaveThatFailsIsReportedUntilOneSucceeds)
{
    AsOrdinaryUser user;
    QSettings settings(file(), QSettings::IniFormat);
    kestrune::QSettingsDefaults d(settings, &console_);
    int told = 0;
    d.setProblemObserver([&] { ++told; });
    d.setValue(QStringLiteral("first"), QStringLiteral("1"));
    EXPECT_EQ(d.saveProblem().kind, Kind::none);

    setMode(dir(), 0755);
    d.setValue(QStringLiteral("name"), QStringLiteral("kept"));
    EXPECT_EQ(d.saveProblem().kind, Kind::notSaved);
    EXPECT_EQ(d.saveProblem().location, file());
    EXPECT_EQ(d.loadProblem().kind, Kind::none);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(d.stringValue(QStringLiteral("name")), QStringLiteral("kept")) << "the change holds until quit";
    ASSERT_FALSE(console_.lines.isEmpty());
    EXPECT_TRUE(console_.lines.last().contains(file()));
    d.setValue(QStringLiteral("name"), QStringLiteral("again")); // still failing, nothing new to tell
    EXPECT_EQ(d.saveProblem().kind, Kind::notSaved);
    EXPECT_EQ(told, 1);

    // QSettings keeps its first error for good; the store must still see this one work.
    setMode(dir(), 0777);
    d.setValue(QStringLiteral("other"), QStringLiteral("x"));
    EXPECT_EQ(d.saveProblem().kind, Kind::none);
    EXPECT_EQ(told, 2);
    QSettings reread(file(), QSettings::IniFormat);
    EXPECT_EQ(reread.value(QStringLiteral("first")).toString(), QStringLiteral("1"));
    EXPECT_EQ(reread.value(QStringLiteral("name")).toString(), QStringLiteral("again"));
    EXPECT_EQ(reread.value(QStringLiteral("other")).toString(), QStringLiteral("x"));

    setMode(dir(), 0755);
    d.removeValue(QStringLiteral("other"));
    EXPECT_EQ(d.saveProblem().kind, Kind::notSaved) << "a removal that cannot be written fails as well";
}

// A value of another type, or one its reader cannot decode: told once per
// key, as the file store does, until the key is written afresh.
TEST_F(QSettingsProblems, AValueThatCannotBeReadIsToldOnceUntilReplaced)
{
    QSettings settings(file(), QSettings::IniFormat);
    kestrune::QSettingsDefaults d(settings, &console_);
    int told = 0;
    d.setProblemObserver([&] { ++told; });
    d.setValue(QStringLiteral("isHUDEnabled"), QStringLiteral("yes"));
    EXPECT_FALSE(d.boolValue(QStringLiteral("isHUDEnabled")));
    EXPECT_FALSE(d.boolValue(QStringLiteral("isHUDEnabled")));
    EXPECT_EQ(d.loadProblem().kind, Kind::wrongType);
    EXPECT_EQ(d.loadProblem().key, QStringLiteral("isHUDEnabled"));
    EXPECT_EQ(d.loadProblem().location, file());
    EXPECT_EQ(told, 1);
    EXPECT_EQ(console_.lines.size(), 1);
    d.setValue(QStringLiteral("isHUDEnabled"), true);
    EXPECT_EQ(d.loadProblem().kind, Kind::none);

    d.noticeUndecodable(QStringLiteral("ExcludedApps"));
    EXPECT_EQ(d.loadProblem().key, QStringLiteral("ExcludedApps"));
    EXPECT_EQ(told, 3);
}

// A damaged file: what QSettings could parse is in use, the file stays as it
// is until the first change, which keeps it aside and writes a complete one.
TEST_F(QSettingsProblems, ADamagedFileIsKeptAsideByTheFirstChange)
{
    const QByteArray damaged("[General]\nname=old\n[broken\nfoo=bar\n");
    writeFile(damaged);
    QSettings settings(file(), QSettings::IniFormat);
    kestrune::QSettingsDefaults d(settings, &console_);
    EXPECT_EQ(d.loadProblem().kind, Kind::partlyReadable);
    EXPECT_GE(d.loadProblem().count, 1);
    EXPECT_EQ(d.loadProblem().location, file());
    EXPECT_FALSE(d.loadProblem().detail.isEmpty());
    EXPECT_EQ(d.stringValue(QStringLiteral("name")), QStringLiteral("old"));
    ASSERT_EQ(console_.lines.size(), 1);
    EXPECT_TRUE(console_.lines.first().contains(QStringLiteral("could not be read whole")));
    EXPECT_TRUE(keptAside().isEmpty());
    EXPECT_EQ(read(file()), damaged);

    d.setValue(QStringLiteral("flag"), QStringLiteral("new"));
    EXPECT_EQ(d.loadProblem().kind, Kind::none);
    EXPECT_EQ(d.saveProblem().kind, Kind::none);
    ASSERT_EQ(keptAside().size(), 1);
    EXPECT_EQ(read(dir() + QLatin1Char('/') + keptAside().first()), damaged);
    QSettings reread(file(), QSettings::IniFormat);
    EXPECT_EQ(reread.status(), QSettings::NoError);
    EXPECT_EQ(reread.value(QStringLiteral("name")).toString(), QStringLiteral("old")) << "what was read is kept";
    EXPECT_EQ(reread.value(QStringLiteral("flag")).toString(), QStringLiteral("new"));

    d.setValue(QStringLiteral("flag"), QStringLiteral("newer"));
    EXPECT_EQ(keptAside().size(), 1) << "kept aside once";
}

// A file the user may not read at all: defaults, the file untouched until a
// change; then kept aside, unless the folder forbids that too, which is a
// failed save.
TEST_F(QSettingsProblems, AFileThatCannotBeReadMeansDefaults)
{
    writeFile("[General]\nname=secret\n");
    setMode(file(), 0);
    AsOrdinaryUser user;
    QSettings settings(file(), QSettings::IniFormat);
    kestrune::QSettingsDefaults d(settings, &console_);
    EXPECT_EQ(d.loadProblem().kind, Kind::unreadable);
    EXPECT_FALSE(d.loadProblem().detail.isEmpty());
    EXPECT_FALSE(d.value(QStringLiteral("name")));
    ASSERT_EQ(console_.lines.size(), 1);
    EXPECT_TRUE(console_.lines.first().contains(QStringLiteral("using defaults")));

    setMode(dir(), 0755);
    d.setValue(QStringLiteral("flag"), QStringLiteral("on"));
    EXPECT_EQ(d.saveProblem().kind, Kind::notSaved);
    EXPECT_FALSE(d.saveProblem().detail.isEmpty()) << "the reason the file could not be moved";
    EXPECT_EQ(d.loadProblem().kind, Kind::unreadable);
    EXPECT_TRUE(keptAside().isEmpty());

    setMode(dir(), 0777);
    d.setValue(QStringLiteral("flag"), QStringLiteral("on"));
    EXPECT_EQ(d.saveProblem().kind, Kind::none);
    EXPECT_EQ(d.loadProblem().kind, Kind::none);
    EXPECT_EQ(keptAside().size(), 1);
    QSettings reread(file(), QSettings::IniFormat);
    EXPECT_EQ(reread.value(QStringLiteral("flag")).toString(), QStringLiteral("on"));
    EXPECT_FALSE(reread.contains(QStringLiteral("name")));
}

} // namespace
