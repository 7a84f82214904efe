#pragma once
// Installed applications as .desktop files, read through GIO: what an
// application is (identity, name, icon), which one a window belongs to, and
// launching one.
//
// An application's identifier is its desktop-file id without the ".desktop"
// suffix ("org.gnome.Nautilus"), the form application ids take elsewhere
// (_GTK_APPLICATION_ID, Wayland app ids). A .desktop file outside the
// applications folders is identified by its file name.
//
// Main thread only. GIO reads XDG_DATA_HOME and XDG_DATA_DIRS once per
// process, at its first use.

#include "platform/System.h"

#include <QHash>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

namespace kestrune {

// What a window tells about the program that made it.
struct WindowHints {
    QString applicationId; // declared id (_GTK_APPLICATION_ID, _KDE_NET_WM_DESKTOP_FILE)
    QString instance;      // WM_CLASS, first part
    QString windowClass;   // WM_CLASS, second part
    QString executable;    // file name of the process's executable, when local

    bool operator==(const WindowHints&) const = default;
};

class DesktopApplications {
public:
    // Starts following GIO's notices of installed applications changing.
    DesktopApplications();
    ~DesktopApplications();

    DesktopApplications(const DesktopApplications&) = delete;
    DesktopApplications& operator=(const DesktopApplications&) = delete;

    // `url`: a file URL or absolute path of a .desktop file, or a desktop-file
    // id with or without its suffix. nullopt unless it names a launchable
    // application: Type=Application with an Exec line whose program is
    // installed, not Hidden (NoDisplay applications count).
    std::optional<AppIdentity> identity(const QUrl& url) const;

    // The identifier of the application a window belongs to, tried in this
    // order: the declared application id when a .desktop file has it; a
    // .desktop file whose StartupWMClass is the window's class or instance;
    // one named after the class or instance (ignoring case); one whose Exec
    // runs the window's executable. Failing those, the declared id or the
    // class as they are, so that an unlisted program still counts as another
    // application; nullopt when the window tells nothing.
    std::optional<QString> identifierFor(const WindowHints& hints);

    // Launches the application (a running single-instance one comes to the
    // front). Returns an empty string or the error text.
    QString launch(const QUrl& url) const;

    // The file name of a local process's executable; empty when unknown.
    static QString executableOfProcess(quint32 pid);

    // Opens `url` with the user's preferred application. False when none could.
    static bool openUri(const QUrl& url, QString* error = nullptr);

    // Runs when GIO reports that installed applications changed.
    std::function<void()> onChanged;

    inline static const QString kNotFoundError = QStringLiteral("The application could not be found.");

private:
    static void changedCallback(void* monitor, void* self);
    void rebuildIndex();

    void* monitor_ = nullptr;   // GAppInfoMonitor
    unsigned long handler_ = 0; // its "changed" connection
    bool indexStale_ = true;
    QHash<QString, QString> byId_;         // lower-case identifier → identifier
    QHash<QString, QString> byWmClass_;    // lower-case StartupWMClass → identifier
    QHash<QString, QString> byExecutable_; // executable file name → identifier
};

} // namespace kestrune
