// The autostart entry in temporary XDG folders: what reads as enabled, what
// registering writes (and how a desktop would read it back), and masking a
// system-wide entry.

#include "platform/linux/XdgAutostartLoginItem.h"

#include "platform/linux/GioHeaders.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace kestrune {
namespace {

class XdgAutostartLoginItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root_.isValid());
        configHome_ = root_.filePath(QStringLiteral("config"));
        systemDir_ = root_.filePath(QStringLiteral("xdg"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome_));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(root_.filePath(QStringLiteral("absent")) + QLatin1Char(':') + systemDir_));
    }

    QString userEntry() const { return configHome_ + QStringLiteral("/autostart/com.kestrune.Kestrune.desktop"); }
    QString systemEntry() const { return systemDir_ + QStringLiteral("/autostart/com.kestrune.Kestrune.desktop"); }

    static void put(const QString& path, const QByteArray& content)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    QTemporaryDir root_;
    QString configHome_;
    QString systemDir_;
};

TEST_F(XdgAutostartLoginItemTest, RegisteringWritesAnEntryDesktopsCanStart)
{
    const QString command = root_.filePath(QStringLiteral("my apps/kestrune \"$HOME\" 100%"));
    XdgAutostartLoginItem item(command);
    EXPECT_EQ(item.entryPath(), userEntry());
    EXPECT_EQ(item.status(), LoginItemStatus::NotRegistered);

    QString error;
    ASSERT_TRUE(item.registerItem(&error)) << error.toStdString();
    EXPECT_EQ(item.status(), LoginItemStatus::Enabled);

    // Read back the way launchers do (field codes expanded, then split like a
    // shell): the program's path survives its spaces, quotes, $ and %.
    GKeyFile* file = g_key_file_new();
    ASSERT_TRUE(g_key_file_load_from_file(file, QFile::encodeName(userEntry()).constData(), G_KEY_FILE_NONE, nullptr));
    gchar* exec = g_key_file_get_string(file, G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_EXEC, nullptr);
    gchar* type = g_key_file_get_string(file, G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_TYPE, nullptr);
    ASSERT_NE(exec, nullptr);
    const QByteArray expanded = QByteArray(exec).replace("%%", "%");
    gchar** argv = nullptr;
    ASSERT_TRUE(g_shell_parse_argv(expanded.constData(), nullptr, &argv, nullptr));
    EXPECT_EQ(g_strv_length(argv), 1u);
    EXPECT_EQ(QFile::decodeName(argv[0]), command);
    EXPECT_STREQ(type, "Application");
    g_strfreev(argv);
    g_free(exec);
    g_free(type);
    g_key_file_free(file);
    EXPECT_EQ(QDir(configHome_ + QStringLiteral("/autostart")).entryList(QDir::Files),
              QStringList{QStringLiteral("com.kestrune.Kestrune.desktop")})
        << "no temporary file is left behind";

    ASSERT_TRUE(item.unregisterItem(&error)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(userEntry()));
    EXPECT_EQ(item.status(), LoginItemStatus::NotRegistered);
    EXPECT_TRUE(item.unregisterItem(&error)) << "unregistering what is not there succeeds";
}

TEST_F(XdgAutostartLoginItemTest, DisabledEntriesReadAsNotRegistered)
{
    XdgAutostartLoginItem item(QStringLiteral("kestrune"));
    const QByteArray head = "[Desktop Entry]\nType=Application\nName=Kestrune\nExec=kestrune\n";

    put(userEntry(), head + "Hidden=true\n");
    EXPECT_EQ(item.status(), LoginItemStatus::NotRegistered);
    put(userEntry(), head + "X-GNOME-Autostart-enabled=false\n");
    EXPECT_EQ(item.status(), LoginItemStatus::NotRegistered);
    put(userEntry(), "not a desktop entry at all\n");
    EXPECT_EQ(item.status(), LoginItemStatus::NotRegistered);
    put(userEntry(), head + "Hidden=false\nX-GNOME-Autostart-enabled=true\n");
    EXPECT_EQ(item.status(), LoginItemStatus::Enabled);

    // Registering over a disabled entry turns it back on.
    put(userEntry(), head + "Hidden=true\n");
    QString error;
    ASSERT_TRUE(item.registerItem(&error)) << error.toStdString();
    EXPECT_EQ(item.status(), LoginItemStatus::Enabled);
}

TEST_F(XdgAutostartLoginItemTest, ASystemWideEntryIsMaskedOnUnregister)
{
    put(systemEntry(), "[Desktop Entry]\nType=Application\nName=Kestrune\nExec=kestrune\n");
    XdgAutostartLoginItem item(QStringLiteral("kestrune"));
    EXPECT_EQ(item.status(), LoginItemStatus::Enabled);

    QString error;
    ASSERT_TRUE(item.unregisterItem(&error)) << error.toStdString();
    EXPECT_EQ(item.status(), LoginItemStatus::NotRegistered);
    EXPECT_TRUE(QFile::exists(systemEntry())) << "the system's file is not ours to touch";

    ASSERT_TRUE(item.registerItem(&error)) << error.toStdString();
    EXPECT_EQ(item.status(), LoginItemStatus::Enabled);
}

TEST_F(XdgAutostartLoginItemTest, FailuresAreReportedAndChangeNothing)
{
    // The autostart folder's place is taken by a file.
    put(configHome_ + QStringLiteral("/autostart"), "a file\n");
    XdgAutostartLoginItem item(QStringLiteral("kestrune"));
    QString error;
    EXPECT_FALSE(item.registerItem(&error));
    EXPECT_TRUE(error.contains(userEntry())) << error.toStdString();
    EXPECT_EQ(item.status(), LoginItemStatus::NotRegistered);
}

TEST_F(XdgAutostartLoginItemTest, WithoutXdgConfigHomeTheHomeConfigFolderIsUsed)
{
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(root_.path()));
    qputenv("XDG_CONFIG_HOME", "relative/is/ignored");
    const XdgAutostartLoginItem relative(QStringLiteral("kestrune"));
    qunsetenv("XDG_CONFIG_HOME");
    const XdgAutostartLoginItem unset(QStringLiteral("kestrune"));
    qputenv("HOME", savedHome);
    const QString expected = root_.path() + QStringLiteral("/.config/autostart/com.kestrune.Kestrune.desktop");
    EXPECT_EQ(relative.entryPath(), expected);
    EXPECT_EQ(unset.entryPath(), expected);
}

} // namespace
} // namespace kestrune
