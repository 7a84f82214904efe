// The launch-at-login switch on the real XDG autostart entry, in temporary
// folders: the file a desktop reads appears and goes with the switch, and a
// disabled entry reads as off at the next launch.

#include "base/Console.h"
#include "platform/linux/XdgAutostartLoginItem.h"
#include "system/LaunchAtLoginManager.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace kestrune {
namespace {

struct LineConsole final : Console {
    void printLine(const QString& line) override { lines.append(line); }
    QStringList lines;
};

TEST(LaunchAtLoginXdg, TheSwitchWritesAndRemovesTheAutostartEntry)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QByteArray savedHome = qgetenv("XDG_CONFIG_HOME");
    const QByteArray savedDirs = qgetenv("XDG_CONFIG_DIRS");
    const QString autostart = root.filePath(QStringLiteral("config/autostart"));
    const QString entry = autostart + QStringLiteral("/com.kestrune.Kestrune.desktop");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("config"))));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(root.filePath(QStringLiteral("system"))));
    LineConsole console;

    auto launch = [&](auto&& use) {
        XdgAutostartLoginItem item(QStringLiteral("/usr/bin/kestrune"));
        LaunchAtLoginManager manager(item, console);
        use(manager, item);
    };
    launch([&](LaunchAtLoginManager& manager, LoginItem&) {
        EXPECT_FALSE(manager.isEnabled());
        manager.setIsEnabled(true);
        EXPECT_EQ(QDir(autostart).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("com.kestrune.Kestrune.desktop")})
            << "written in place of a temporary file, none left over";
    });
    launch([&](LaunchAtLoginManager& manager, LoginItem&) {
        EXPECT_TRUE(manager.isEnabled()) << "the next launch finds it on";
        manager.setIsEnabled(false);
        EXPECT_FALSE(QFile::exists(entry));
    });

    // Entries the user (or a settings panel) disabled read as off.
    for (const QByteArray& disabled : {QByteArray("Hidden=true\n"), QByteArray("X-GNOME-Autostart-enabled=false\n")}) {
        QFile file(entry);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Desktop Entry]\nType=Application\nName=Kestrune\nExec=/usr/bin/kestrune\n" + disabled);
        file.close();
        launch([&](LaunchAtLoginManager& manager, LoginItem& item) {
            EXPECT_FALSE(manager.isEnabled()) << disabled.constData();
            manager.setIsEnabled(true);
            EXPECT_EQ(item.status(), LoginItemStatus::Enabled) << "turning on replaces the disabled entry";
        });
    }
    EXPECT_TRUE(console.lines.isEmpty()) << console.lines.join(QLatin1Char('\n')).toStdString();
    for (auto [name, value] : {std::pair{"XDG_CONFIG_HOME", savedHome}, std::pair{"XDG_CONFIG_DIRS", savedDirs}})
        value.isEmpty() ? qunsetenv(name) : qputenv(name, value);
}

} // namespace
} // namespace kestrune
