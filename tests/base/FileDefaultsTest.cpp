#include "base/FileDefaults.h"

#include "base/Console.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/stat.h>

using kestrune::FileDefaults;

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
    EXPECT_FALSE(d.boolValue(QStringLiteral("name"))); // another type reads as absent
    EXPECT_FALSE(d.stringValue(QStringLiteral("flag")));
    EXPECT_TRUE(console_.lines.isEmpty());

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
    for (const char* key : {"number", "null", "badData", "extraData"})
        EXPECT_FALSE(d.value(QLatin1String(key))) << key;

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
                                           R"({"version":"1","values":{}})", R"({"version":2,"values":{}})",
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
