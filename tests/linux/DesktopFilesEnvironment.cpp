#include "DesktopFilesEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

namespace kestrune::test {

namespace {

std::unique_ptr<QTemporaryDir> root;

void installProgram(const QString& path, const QByteArray& script)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(script);
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

class DesktopFilesEnvironment final : public ::testing::Environment {
public:
    void SetUp() override
    {
        root = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(root->isValid());
        const QString r = root->path();
        QDir().mkpath(r + QStringLiteral("/home-data/applications"));
        QDir().mkpath(r + QStringLiteral("/elsewhere"));
        // GIO takes a .desktop file for an application only when the program
        // its Exec line names is installed.
        const QString bin = r + QStringLiteral("/bin");
        QDir().mkpath(bin);
        for (const char* program : {"example-editor", "gtk-app", "kde-app", "fancyterm-bin", "helper-bin", "removed",
                                    "tool", "portable", "latecomer", "marked-up"})
            installProgram(bin + QLatin1Char('/') + QLatin1String(program), "#!/bin/sh\nexit 0\n");
        qputenv("PATH", QFile::encodeName(bin) + ':' + qgetenv("PATH"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(r + QStringLiteral("/home-data")));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(r + QStringLiteral("/data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(r + QStringLiteral("/config")));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(r + QStringLiteral("/config-dirs")));
        // Launching announces itself on the session bus; with none reachable
        // GIO would start one through the display.
        qputenv("DBUS_SESSION_BUS_ADDRESS", QFile::encodeName(QStringLiteral("unix:path=") + r + QStringLiteral("/no-bus")));
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        qunsetenv("XDG_SESSION_TYPE");
        qunsetenv("XDG_CURRENT_DESKTOP");

        const QByteArray app = "[Desktop Entry]\nType=Application\n";
        writeDesktopFile("data/applications/org.example.Editor.desktop",
                         app + "Name=Example Editor\nIcon=accessories-text-editor\nExec=example-editor %F\n"
                               "StartupWMClass=ExampleEditorWindow\nGenericName=Text Editor\nKeywords=notes;writing;\n");
        writeDesktopFile("data/applications/org.example.Gtk.desktop",
                         app + "Name=Gtk App\nIcon=/opt/icons/gtk.png\nExec=gtk-app\n");
        writeDesktopFile("data/applications/org.example.Kde.desktop", app + "Name=Kde App\nExec=kde-app\n");
        writeDesktopFile("data/applications/fancyterm.desktop",
                         app + "Name=Fancy Terminal\nExec=env FANCY=1 fancyterm-bin --login\n");
        writeDesktopFile("data/applications/selftest.desktop",
                         app + "Name=Self Test\nExec=" + QFile::encodeName(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")))
                             + " %U\n");
        writeDesktopFile("data/applications/shell-script.desktop", app + "Name=Script\nExec=sh -c true\n");
        writeDesktopFile("data/applications/helper.desktop", app + "Name=Helper\nNoDisplay=true\nExec=helper-bin\n");
        writeDesktopFile("data/applications/removed.desktop", app + "Name=Removed\nHidden=true\nExec=removed\n");
        writeDesktopFile("data/applications/link.desktop",
                         "[Desktop Entry]\nType=Link\nName=Link\nURL=https://example.com/\n");
        writeDesktopFile("data/applications/noexec.desktop", app + "Name=No Exec\n");
        writeDesktopFile("data/applications/uninstalled.desktop", app + "Name=Uninstalled\nExec=/nonexistent/kestrune/programs/not-installed-anywhere/kestrune-example.app\n");
        writeDesktopFile("data/applications/vendor/tool.desktop", app + "Name=Vendor Tool\nExec=tool\n");
        // A name anyone could write: markup, and an image from elsewhere.
        writeDesktopFile("data/applications/marked-up.desktop",
                         app + "Name=<img src=\"http://127.0.0.1:9/kestrune.png\"><b>Marked</b> Up\nExec=marked-up\n");
        writeDesktopFile("data/applications/launch-ok.desktop",
                         app + "Name=Launch Ok\nExec=touch " + QFile::encodeName(r) + "/launched\n");
        writeDesktopFile("data/applications/launch-broken.desktop",
                         app + "Name=Launch Broken\nExec=tool\nPath=/nonexistent/kestrune-missing-folder\n");
        writeDesktopFile("data/applications/url-handler.desktop",
                         app + "Name=Url Handler\nExec=touch " + QFile::encodeName(r) + "/url-opened\n"
                               "MimeType=x-scheme-handler/kestrune-test;\n");
        // The user's choice of handler, as a desktop's settings would store it.
        writeDesktopFile("config/mimeapps.list",
                         "[Default Applications]\nx-scheme-handler/kestrune-test=url-handler.desktop\n");
        writeDesktopFile("elsewhere/Portable.desktop", app + "Name=Portable\nExec=portable\n");
    }

    void TearDown() override { root.reset(); }
};

[[maybe_unused]] const auto* const registered = ::testing::AddGlobalTestEnvironment(new DesktopFilesEnvironment);

} // namespace

QString desktopRoot() { return root ? root->path() : QString(); }

void writeDesktopFile(const QString& relative, const QByteArray& body)
{
    const QString path = desktopRoot() + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(body);
}

QString selfExecutableName() { return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).fileName(); }

} // namespace kestrune::test
