#include "base/FileDefaults.h"

#include "base/Console.h"
#include "support/AsOrdinaryUser.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/stat.h>

using kestrune::FileDefaults;
using kestrune::test::AsOrdinaryUser;

namespace {

struct RecordingConsole final : kestrune::Console {
    void printLine(const QString& line) override { lines << line; }
    QStringList lines;
};

class FileDefaultsTest : public ::testing::Test {
protected:
    QString dir() const { return tmp_.path() + QStringLiteral("/Kestrune"); }
    QString file() const { return dir() + QStringLiteral("/settings.json"); }
    QStringList entries() const { return QDir(dir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden); }
    QStringList keptAside() const { return entries().filter(QStringLiteral(".unreadable-")); }

    void writeFile(const QByteArray& bytes)
    {
        QDir().mkpath(dir());
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    static QByteArray read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QJsonObject stored() const { return QJsonDocument::fromJson(read(file())).object(); }
    QJsonValue storedValue(const char* key) const
    {
        return stored().value(QStringLiteral("values")).toObject().value(QLatin1String(key));
    }
    static int mode(const QString& path)
    {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    }

    QTemporaryDir tmp_;
    RecordingConsole console_;
};

TEST_F(FileDefaultsTest, ValuesSurviveANewInstanceWithTheirTypes)
{
    const QByteArray blob("\x00\x01\xfe\xff", 4);
    {
        FileDefaults d(dir(), &console_);
        EXPECT_FALSE(QFileInfo::exists(dir())); // reading alone creates nothing
        d.setValue(QStringLiteral("flag"), true);
        d.setValue(QStringLiteral("name"), QStringLiteral("Grüße ⌘"));
        d.setValue(QStringLiteral("blob"), blob);
        d.setValue(QStringLiteral("gone"), false);
        d.removeValue(QStringLiteral("gone"));
    }
    FileDefaults d(dir(), &console_);
    EXPECT_EQ(d.boolValue(QStringLiteral("flag")), true);
    EXPECT_EQ(d.stringValue(QStringLiteral("name")), QStringLiteral("Grüße ⌘"));
    EXPECT_EQ(d.dataValue(QStringLiteral("blob")), blob);
    EXPECT_FALSE(d.value(QStringLiteral("gone")));
    EXPECT_TRUE(console_.lines.isEmpty());
    // Another type reads as absent, said once per key.
    EXPECT_FALSE(d.boolValue(QStringLiteral("name")));
    EXPECT_FALSE(d.boolValue(QStringLiteral("name")));
    EXPECT_FALSE(d.stringValue(QStringLiteral("flag")));
    ASSERT_EQ(console_.lines.size(), 2);
    EXPECT_TRUE(console_.lines[0].contains(QStringLiteral("\"name\"")));
    EXPECT_TRUE(console_.lines[1].contains(QStringLiteral("\"flag\"")));

    EXPECT_EQ(stored().value(QStringLiteral("version")), QJsonValue(1));
    EXPECT_EQ(storedValue("blob"), QJsonValue(QJsonObject{{QStringLiteral("data"), QStringLiteral("AAH+/w==")}}));
    // Private, and only the file itself is left behind.
    EXPECT_EQ(mode(file()), 0600);
    EXPECT_EQ(mode(dir()), 0700);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("settings.json")});
}

TEST_F(FileDefaultsTest, ValuesOfOtherShapesReadAbsentAndAreKept)
{
    writeFile(R"({"version":1, "note":"kept", "values":{"number":42, "null":null,
        "badData":{"data":"!!"}, "extraData":{"data":"AA==","type":"png"}, "flag":false}})");
    FileDefaults d(dir(), &console_);
    for (int twice = 0; twice < 2; ++twice) {
        for (const char* key : {"number", "null", "badData", "extraData"})
            EXPECT_FALSE(d.value(QLatin1String(key))) << key;
    }
    ASSERT_EQ(console_.lines.size(), 4); // each reported once, and left in place
    EXPECT_TRUE(console_.lines[0].contains(QStringLiteral("\"number\" in ") + file()));
    console_.lines.clear();

    d.setValue(QStringLiteral("flag"), true);
    EXPECT_EQ(storedValue("flag"), QJsonValue(true));
    EXPECT_EQ(storedValue("number"), QJsonValue(42));
    EXPECT_TRUE(storedValue("null").isNull());
    EXPECT_EQ(storedValue("badData").toObject().value(QStringLiteral("data")), QJsonValue(QStringLiteral("!!")));
    EXPECT_EQ(storedValue("extraData").toObject().size(), 2);
    EXPECT_EQ(stored().value(QStringLiteral("note")), QJsonValue(QStringLiteral("kept")));
    EXPECT_TRUE(console_.lines.isEmpty());
}

class UnreadableFile : public FileDefaultsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(UnreadableFile, IsKeptUntouchedUntilTheFirstChangeThenMovedAside)
{
    const QByteArray original(GetParam());
    writeFile(original);
    FileDefaults d(dir(), &console_);
    ASSERT_EQ(console_.lines.size(), 1);
    EXPECT_TRUE(console_.lines[0].contains(file() + QStringLiteral(" could not be read")));
    EXPECT_FALSE(d.value(QStringLiteral("flag")));

    d.removeValue(QStringLiteral("flag")); // not a change
    EXPECT_EQ(read(file()), original);
    EXPECT_TRUE(keptAside().isEmpty());

    d.setValue(QStringLiteral("flag"), true);
    ASSERT_EQ(keptAside().size(), 1);
    const QString aside = keptAside().first();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^settings\\.json\\.unreadable-\\d{8}-\\d{6}$")).match(aside).hasMatch());
    EXPECT_EQ(read(dir() + QLatin1Char('/') + aside), original);
    ASSERT_EQ(console_.lines.size(), 2);
    EXPECT_TRUE(console_.lines[1].contains(aside));
    EXPECT_EQ(FileDefaults(dir()).boolValue(QStringLiteral("flag")), true);

    d.setValue(QStringLiteral("other"), true); // only the first change moves anything
    EXPECT_EQ(keptAside().size(), 1);
    EXPECT_EQ(console_.lines.size(), 2);
}

INSTANTIATE_TEST_SUITE_P(FileDefaultsTest, UnreadableFile,
                         ::testing::Values("", R"({"version":1,"values":{)", "[1,2]", R"({"values":{}})",
                                           R"({"version":"1","values":{}})", R"({"version":0.5,"values":{}})",
                                           R"({"version":1,"values":[]})"));

TEST_F(FileDefaultsTest, FileThatCannotBeOpenedIsKeptAsIs)
{
    // A folder in the file's place fails to open as a denied read does (which
    // cannot be staged when the tests run as root).
    ASSERT_TRUE(QDir().mkpath(file() + QStringLiteral("/inner")));
    FileDefaults d(dir(), &console_);
    EXPECT_EQ(console_.lines.size(), 1);
    d.setValue(QStringLiteral("flag"), true);
    ASSERT_EQ(keptAside().size(), 1);
    EXPECT_TRUE(QFileInfo(dir() + QLatin1Char('/') + keptAside().first() + QStringLiteral("/inner")).isDir());
    EXPECT_EQ(FileDefaults(dir()).boolValue(QStringLiteral("flag")), true);
}

TEST_F(FileDefaultsTest, DamagedFileKeepsEveryValueThatCanStillBeRead)
{
    const QByteArray damaged = R"({"note":{"x":[1,"]}"]}, "version":1, "values":{"a":true, "b":"x\"y",
        "c":{"data":"AAE="}, "n":[1,{"k":"}"}], "d":tru)";
    writeFile(damaged);
    FileDefaults d(dir(), &console_);
    EXPECT_EQ(d.boolValue(QStringLiteral("a")), true);
    EXPECT_EQ(d.stringValue(QStringLiteral("b")), QStringLiteral("x\"y"));
    EXPECT_EQ(d.dataValue(QStringLiteral("c")), QByteArray("\x00\x01", 2));
    EXPECT_FALSE(d.value(QStringLiteral("d")));
    ASSERT_EQ(console_.lines.size(), 1);
    EXPECT_TRUE(console_.lines[0].contains(QStringLiteral("4 of its settings are used")));

    d.setValue(QStringLiteral("e"), false);
    ASSERT_EQ(keptAside().size(), 1);
    EXPECT_EQ(read(dir() + QLatin1Char('/') + keptAside().first()), damaged);
    FileDefaults again(dir(), &console_);
    EXPECT_EQ(again.boolValue(QStringLiteral("a")), true);
    EXPECT_EQ(again.stringValue(QStringLiteral("b")), QStringLiteral("x\"y"));
    EXPECT_EQ(storedValue("n"), QJsonValue(QJsonArray{1, QJsonObject{{QStringLiteral("k"), QStringLiteral("}")}}}));
    EXPECT_EQ(again.boolValue(QStringLiteral("e")), false);

    // Whole values in a file whose top level is wrong are kept as well.
    EXPECT_EQ(FileDefaults::salvageValues(R"({"version":"1","values":{"a":true}})").value(QStringLiteral("a")),
              QJsonValue(true));
    EXPECT_TRUE(FileDefaults::salvageValues(R"({"values":{"a":)").isEmpty());
    EXPECT_TRUE(FileDefaults::salvageValues(R"({"version":1,"va)").isEmpty());
}

TEST_F(FileDefaultsTest, OversizedFileIsNotReadAndIsKept)
{
    QByteArray big = R"({"version":1,"values":{"flag":true},"pad":")";
    big += QByteArray(FileDefaults::kMaxFileSize, 'x') + "\"}";
    writeFile(big);
    FileDefaults d(dir(), &console_);
    EXPECT_FALSE(d.value(QStringLiteral("flag")));
    ASSERT_EQ(console_.lines.size(), 1);
    EXPECT_TRUE(console_.lines[0].contains(QStringLiteral("larger than 1024 KiB")));

    d.setValue(QStringLiteral("other"), true);
    ASSERT_EQ(keptAside().size(), 1);
    EXPECT_EQ(QFileInfo(dir() + QLatin1Char('/') + keptAside().first()).size(), big.size());
    EXPECT_LT(QFileInfo(file()).size(), 200);
}

TEST_F(FileDefaultsTest, NewerFileIsReadAsFarAsUnderstoodAndKeepsTheRest)
{
    writeFile(R"({"version":3, "future":{"x":1}, "values":{"flag":false, "kind":{"data":"AA==","type":"png"}}})");
    FileDefaults d(dir(), &console_);
    EXPECT_EQ(d.boolValue(QStringLiteral("flag")), false);
    ASSERT_EQ(console_.lines.size(), 1);
    EXPECT_TRUE(console_.lines[0].contains(QStringLiteral("newer version of Kestrune (version 3)")));

    d.setValue(QStringLiteral("flag"), true);
    EXPECT_TRUE(keptAside().isEmpty());
    EXPECT_EQ(stored().value(QStringLiteral("version")), QJsonValue(3));
    EXPECT_EQ(stored().value(QStringLiteral("future")), QJsonValue(QJsonObject{{QStringLiteral("x"), 1}}));
    EXPECT_EQ(storedValue("kind").toObject().size(), 2);
    EXPECT_EQ(storedValue("flag"), QJsonValue(true));

    // One whose values this version cannot make out at all is never overwritten.
    const QByteArray opaque = R"({"version":4,"values":[["flag",true]]})";
    writeFile(opaque);
    console_.lines.clear();
    FileDefaults older(dir(), &console_);
    older.setValue(QStringLiteral("flag"), false);
    EXPECT_EQ(older.boolValue(QStringLiteral("flag")), false); // for this run only
    EXPECT_EQ(read(file()), opaque);
    EXPECT_TRUE(keptAside().isEmpty());
    ASSERT_EQ(console_.lines.size(), 1);
    EXPECT_TRUE(console_.lines[0].contains(QStringLiteral("changes are not saved")));
}

TEST_F(FileDefaultsTest, SymbolicLinkStaysALinkToTheReplacedFile)
{
    const QString dotfiles = tmp_.path() + QStringLiteral("/dotfiles");
    ASSERT_TRUE(QDir().mkpath(dotfiles) && QDir().mkpath(dir()));
    ASSERT_TRUE(QFile::link(QStringLiteral("../dotfiles/kestrune.json"), file())); // relative, and dangling at first
    {
        FileDefaults d(dir(), &console_);
        d.setValue(QStringLiteral("flag"), true);
        d.setValue(QStringLiteral("name"), QStringLiteral("n"));
    }
    const QString target = dotfiles + QStringLiteral("/kestrune.json");
    EXPECT_TRUE(QFileInfo(file()).isSymLink());
    EXPECT_EQ(QDir(dotfiles).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kestrune.json")});
    EXPECT_EQ(mode(target), 0600);
    EXPECT_EQ(FileDefaults(dir()).stringValue(QStringLiteral("name")), QStringLiteral("n"));

    // A damaged target is kept aside beside itself; the link still leads to the new file.
    {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write("{") == 1);
    }
    FileDefaults damaged(dir(), &console_);
    damaged.setValue(QStringLiteral("flag"), false);
    EXPECT_TRUE(QFileInfo(file()).isSymLink());
    EXPECT_EQ(QDir(dotfiles).entryList(QDir::Files).filter(QStringLiteral("kestrune.json.unreadable-")).size(), 1);
    EXPECT_EQ(FileDefaults(dir()).boolValue(QStringLiteral("flag")), false);
    ASSERT_EQ(console_.lines.size(), 2) << console_.lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(console_.lines.last().contains(dotfiles)) << console_.lines.last().toStdString();
}

TEST_F(FileDefaultsTest, TemporariesOfAnInterruptedWriteAreRemovedByTheNextWrite)
{
    writeFile(R"({"version":1,"values":{}})");
    for (const char* name : {"settings.json.tmp-a1B2c3", "settings.json.tmp-zzzzzz", "settings.json.tmp-longer-name",
                             "other.tmp-abcdef"}) {
        QFile f(dir() + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    FileDefaults d(dir(), &console_);
    EXPECT_EQ(entries().size(), 5); // reading removes nothing
    d.setValue(QStringLiteral("flag"), true);
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("other.tmp-abcdef"), QStringLiteral("settings.json"),
                                      QStringLiteral("settings.json.tmp-longer-name")}));
}

TEST(FileDefaultsDirectory, FollowsXdgConfigHome)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    const bool wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QString fallback = QDir::homePath() + QStringLiteral("/.config/Kestrune");

    qputenv("XDG_CONFIG_HOME", "/srv/conf");
    EXPECT_EQ(FileDefaults::defaultDirectory(), QStringLiteral("/srv/conf/Kestrune"));
    for (const char* ignored : {"", "relative/conf"}) {
        qputenv("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(FileDefaults::defaultDirectory(), fallback) << ignored;
    }
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(FileDefaults::defaultDirectory(), fallback);
    if (wasSet)
        qputenv("XDG_CONFIG_HOME", saved);
}

} // namespace

// What the interface is told, besides the console: each problem as it is
// found, and gone once a save has dealt with it.
TEST_F(FileDefaultsTest, ProblemsAreKeptForTheInterfaceUntilASaveDealsWithThem)
{
    using Kind = kestrune::DefaultsProblem::Kind;
    writeFile(R"({"version":1,"values":{"a":true,"b":"x", "c":)");
    FileDefaults d(dir(), &console_);
    EXPECT_EQ(d.loadProblem().kind, Kind::partlyReadable);
    EXPECT_EQ(d.loadProblem().count, 2);
    EXPECT_EQ(d.loadProblem().location, file());
    EXPECT_FALSE(d.loadProblem().detail.isEmpty());
    EXPECT_EQ(d.saveProblem().kind, Kind::none);

    int told = 0;
    d.setProblemObserver([&] { ++told; });
    // A folder in the way of the write: fails as a read-only folder does for a
    // user (which cannot be staged when the tests run as root).
    const QString blocked = tmp_.path() + QStringLiteral("/blocked");
    ASSERT_TRUE(QDir().rename(dir(), blocked));
    QFile blocker(dir());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    d.setValue(QStringLiteral("flag"), true);
    EXPECT_EQ(d.saveProblem().kind, Kind::notSaved);
    EXPECT_FALSE(d.saveProblem().detail.isEmpty());
    EXPECT_EQ(d.loadProblem().kind, Kind::partlyReadable) << "nothing was kept aside";
    EXPECT_EQ(told, 1);
    d.setValue(QStringLiteral("flag"), false); // the same failure again: nothing new to tell
    EXPECT_EQ(told, 1);

    ASSERT_TRUE(QFile::remove(dir()));
    ASSERT_TRUE(QDir().rename(blocked, dir()));
    d.setValue(QStringLiteral("flag"), true);
    EXPECT_EQ(d.saveProblem().kind, Kind::none);
    EXPECT_EQ(d.loadProblem().kind, Kind::none) << "the damaged file is kept aside, the new one complete";
    EXPECT_EQ(told, 3);
    EXPECT_EQ(keptAside().size(), 1);
}

TEST_F(FileDefaultsTest, ProblemsOfWhatCannotBeReadAtAll)
{
    using Kind = kestrune::DefaultsProblem::Kind;
    writeFile("not json");
    EXPECT_EQ(FileDefaults(dir()).loadProblem().kind, Kind::unreadable);

    writeFile(R"({"version":4,"values":[]})");
    FileDefaults newer(dir());
    EXPECT_EQ(newer.loadProblem().kind, Kind::newerUnreadable);
    newer.setValue(QStringLiteral("flag"), true);
    EXPECT_EQ(newer.loadProblem().kind, Kind::newerUnreadable) << "still not saved";
    EXPECT_EQ(newer.saveProblem().kind, Kind::none);

    writeFile(R"({"version":1,"values":{"flag":"yes","other":true}})");
    FileDefaults typed(dir());
    EXPECT_EQ(typed.loadProblem().kind, Kind::none) << "found when read, not before";
    EXPECT_FALSE(typed.boolValue(QStringLiteral("flag")));
    EXPECT_EQ(typed.loadProblem().kind, Kind::wrongType);
    EXPECT_EQ(typed.loadProblem().key, QStringLiteral("flag"));
    typed.setValue(QStringLiteral("other"), false);
    EXPECT_EQ(typed.loadProblem().kind, Kind::wrongType) << "the value is still there, unread";
    typed.setValue(QStringLiteral("flag"), true);
    EXPECT_EQ(typed.loadProblem().kind, Kind::none);
}

// A settings file its owner made read-only is read and never replaced; a
// settings folder that is a file is said from the start. In both, changes
// hold in memory until quit and nothing on disk changes.
TEST_F(FileDefaultsTest, WhatTheOwnerMadeReadOnlyOrNoFolderIsLeftAlone)
{
    using Kind = kestrune::DefaultsProblem::Kind;
    const QByteArray content = R"({"version":1,"values":{"flag":true}})";
    writeFile(content);
    // The folder stays writable to the user (who can replace what is in it).
    ASSERT_EQ(::chmod(QFile::encodeName(tmp_.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir()).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(file()).constData(), 0444), 0);
    {
        AsOrdinaryUser user;
        FileDefaults readOnly(dir(), &console_);
        EXPECT_EQ(readOnly.loadProblem().kind, Kind::readOnly) << "said from the start";
        EXPECT_EQ(readOnly.boolValue(QStringLiteral("flag")), true);
        readOnly.setValue(QStringLiteral("flag"), false);
        EXPECT_EQ(readOnly.boolValue(QStringLiteral("flag")), false) << "the change holds until quit";
        EXPECT_EQ(readOnly.saveProblem().kind, Kind::none);
    }
    EXPECT_EQ(read(file()), content) << "replaced though read-only";
    EXPECT_EQ(mode(file()), 0444);
    EXPECT_TRUE(console_.lines.last().contains(QStringLiteral("read-only")));

    const QString notAFolder = tmp_.path() + QStringLiteral("/NotAFolder");
    QFile blocker(notAFolder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly) && blocker.write("x") == 1);
    blocker.close();
    FileDefaults inAFile(notAFolder);
    EXPECT_EQ(inAFile.loadProblem().kind, Kind::notAFolder);
    inAFile.setValue(QStringLiteral("flag"), true);
    EXPECT_EQ(inAFile.boolValue(QStringLiteral("flag")), true);
    EXPECT_EQ(inAFile.saveProblem().kind, Kind::none) << "the problem was said at the start";
    EXPECT_EQ(read(notAFolder), QByteArray("x"));
}
