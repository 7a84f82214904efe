// Applications as .desktop files through GIO, in temporary XDG folders: what
// counts as an application, which one a window belongs to, launching.

#include "platform/linux/DesktopApplications.h"
#include "platform/linux/X11Workspace.h"

#include "DesktopFilesEnvironment.h"
#include "SystemTestSupport.h"

#include "base/QtScheduler.h"

#include <gtest/gtest.h>

#include <QFileSystemWatcher>
#include <QFileInfo>

namespace kestrune {
namespace {

using test::desktopRoot;
using test::waitUntil;

class DesktopApplicationsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureApplication(); }

    std::optional<AppIdentity> at(const QString& where) const
    {
        return workspace.applicationAt(where.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(where) : QUrl(where));
    }
    QString dataFile(const char* name) const { return desktopRoot() + QStringLiteral("/data/applications/") + QLatin1String(name); }

    // Waits for a file to appear in the test root, by the folder's change notices.
    static bool waitForFile(const QString& name)
    {
        const QString path = desktopRoot() + QLatin1Char('/') + name;
        const QFileSystemWatcher watcher({desktopRoot()}); // its notices wake the wait
        return waitUntil([&] { return QFileInfo::exists(path); });
    }

    QtScheduler scheduler;
    X11Workspace workspace{scheduler}; // no display: only the applications part
};

TEST_F(DesktopApplicationsTest, LaunchableDesktopFilesAreApplications)
{
    const auto editor = at(dataFile("org.example.Editor.desktop"));
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->bundleId, QStringLiteral("org.example.Editor"));
    EXPECT_EQ(editor->name, QStringLiteral("Example Editor"));
    EXPECT_EQ(editor->iconName, QStringLiteral("accessories-text-editor"));

    // The same application by plain path, by id with and without suffix.
    for (const QString& where : {QUrl::fromLocalFile(dataFile("org.example.Editor.desktop")).toString(),
                                 QStringLiteral("org.example.Editor.desktop"), QStringLiteral("org.example.Editor")}) {
        const auto again = workspace.applicationAt(QUrl(where));
        ASSERT_TRUE(again) << where.toStdString();
        EXPECT_EQ(again->bundleId, editor->bundleId);
    }

    const auto gtk = at(QStringLiteral("org.example.Gtk"));
    ASSERT_TRUE(gtk);
    EXPECT_EQ(gtk->iconName, QStringLiteral("/opt/icons/gtk.png"));
    const auto tool = at(dataFile("vendor/tool.desktop"));
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->bundleId, QStringLiteral("vendor-tool")) << "a subfolder is part of the id";
    EXPECT_TRUE(at(QStringLiteral("vendor-tool")));
    EXPECT_TRUE(at(QStringLiteral("helper"))) << "NoDisplay hides from menus, it is still an application";

    const auto portable = at(desktopRoot() + QStringLiteral("/elsewhere/Portable.desktop"));
    ASSERT_TRUE(portable);
    EXPECT_EQ(portable->bundleId, QStringLiteral("Portable")) << "outside the folders the file name is the id";
}

TEST_F(DesktopApplicationsTest, WhatIsNotALaunchableApplicationIsRefused)
{
    for (const QString& where : {dataFile("removed.desktop"), dataFile("link.desktop"), dataFile("noexec.desktop"),
                                 dataFile("uninstalled.desktop"), QStringLiteral("removed"), QStringLiteral("link"), QStringLiteral("noexec"),
                                 dataFile("missing.desktop"), QStringLiteral("missing"),
                                 desktopRoot() + QStringLiteral("/data/applications"), QStringLiteral("/usr/bin/env"),
                                 QStringLiteral("https://example.com/app.desktop"), QStringLiteral("vendor/tool"),
                                 QString()})
        EXPECT_FALSE(at(where)) << where.toStdString();
}

TEST_F(DesktopApplicationsTest, WindowsAreMatchedToApplicationsInOrder)
{
    DesktopApplications apps;
    auto id = [&](WindowHints hints) { return apps.identifierFor(hints).value_or(QStringLiteral("<none>")); };

    // A declared id that names an application wins over everything else.
    EXPECT_EQ(id({QStringLiteral("org.example.Gtk"), QStringLiteral("x"), QStringLiteral("ExampleEditorWindow"),
                  test::selfExecutableName()}),
              QStringLiteral("org.example.Gtk"));
    EXPECT_EQ(id({QStringLiteral("org.example.Kde.desktop"), {}, {}, {}}), QStringLiteral("org.example.Kde"));
    // Then StartupWMClass, for class or instance, before a name match.
    EXPECT_EQ(id({QStringLiteral("org.unlisted.App"), QStringLiteral("helper"), QStringLiteral("ExampleEditorWindow"), {}}),
              QStringLiteral("org.example.Editor"));
    EXPECT_EQ(id({{}, QStringLiteral("exampleeditorwindow"), QStringLiteral("Other"), {}}),
              QStringLiteral("org.example.Editor"));
    // Then the file name, ignoring case, class before instance.
    EXPECT_EQ(id({{}, QStringLiteral("helper"), QStringLiteral("FancyTerm"), {}}), QStringLiteral("fancyterm"));
    EXPECT_EQ(id({{}, QStringLiteral("HELPER"), QStringLiteral("Unknown"), {}}), QStringLiteral("helper"));
    // Then the executable, past env and its settings; never a shell.
    EXPECT_EQ(id({{}, QStringLiteral("a"), QStringLiteral("B"), test::selfExecutableName()}), QStringLiteral("selftest"));
    EXPECT_EQ(id({{}, {}, {}, QStringLiteral("fancyterm-bin")}), QStringLiteral("fancyterm"));
    EXPECT_EQ(id({{}, {}, {}, QStringLiteral("sh")}), QStringLiteral("<none>"));
    // Hidden entries are no applications to match.
    EXPECT_EQ(id({{}, {}, QStringLiteral("removed"), QStringLiteral("removed")}), QStringLiteral("removed"))
        << "an unmatched class still stands for its program";
    // Unmatched: the declared id, else the class, else the instance.
    EXPECT_EQ(id({QStringLiteral("org.unlisted.App"), {}, QStringLiteral("Cls"), {}}), QStringLiteral("org.unlisted.App"));
    EXPECT_EQ(id({{}, QStringLiteral("inst"), {}, {}}), QStringLiteral("inst"));
    EXPECT_EQ(id({}), QStringLiteral("<none>"));
}

TEST_F(DesktopApplicationsTest, AnApplicationInstalledLaterIsMatched)
{
    DesktopApplications apps;
    bool changed = false;
    apps.onChanged = [&] { changed = true; };
    const WindowHints window{{}, QStringLiteral("late"), QStringLiteral("LateWindow"), {}};
    EXPECT_EQ(apps.identifierFor(window), QStringLiteral("LateWindow"));

    test::writeDesktopFile(QStringLiteral("home-data/applications/latecomer.desktop"),
                           "[Desktop Entry]\nType=Application\nName=Latecomer\nExec=latecomer\n"
                           "StartupWMClass=LateWindow\n");
    ASSERT_TRUE(waitUntil([&] { return changed; })) << "GIO did not report the new application";
    EXPECT_EQ(apps.identifierFor(window), QStringLiteral("latecomer"));
}

TEST_F(DesktopApplicationsTest, OpeningLaunchesAndReportsLater)
{
    std::vector<QString> results;
    auto record = [&](const QString& error) { results.push_back(error); };

    workspace.openApplication(QUrl(QStringLiteral("launch-ok")), record);
    EXPECT_TRUE(results.empty()) << "the completion comes later, not from inside the call";
    ASSERT_TRUE(waitUntil([&] { return results.size() == 1; }));
    EXPECT_EQ(results[0], QString());
    EXPECT_TRUE(waitForFile(QStringLiteral("launched")));

    workspace.openApplication(QUrl::fromLocalFile(dataFile("launch-broken.desktop")), record);
    workspace.openApplication(QUrl(QStringLiteral("link")), record);
    ASSERT_TRUE(waitUntil([&] { return results.size() == 3; }));
    EXPECT_TRUE(results[1].contains(QLatin1String("kestrune-missing-folder"))) << results[1].toStdString();
    EXPECT_EQ(results[2], X11Workspace::kNotFoundError);
    workspace.openApplication(QUrl(QStringLiteral("launch-ok")), nullptr); // no completion is fine
}

TEST_F(DesktopApplicationsTest, UrlsOpenWithTheirHandler)
{
    workspace.openUrl(QUrl(QStringLiteral("kestrune-test:hello")));
    EXPECT_TRUE(waitForFile(QStringLiteral("url-opened")));
    QString error;
    EXPECT_FALSE(DesktopApplications::openUri(QUrl(QStringLiteral("kestrune-unhandled:x")), &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace kestrune
