#pragma once
// The applications a user can choose from: those installed and shown in the
// desktop's menus, and a check of any other file the user points at. On
// Linux these are .desktop files; where a backend has none, the views fall
// back to choosing a file.

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace kestrune {

struct InstalledApplication {
    QUrl url;        // what the stores are given (file URL of the .desktop file)
    QString name;    // display name, in the user's language
    QString iconName; // icon theme name or absolute file; may be empty
    // What else finds it in a search: its kind ("Terminal Emulator") and
    // keywords, in the user's language.
    QStringList searchTerms;
};

// Why a file cannot serve as an application.
enum class ApplicationProblem {
    none,
    unreadable,      // missing, unreadable or not a key file
    notDesktopFile,  // another kind of file
    notApplication,  // Type is Link or Directory
    hidden,          // Hidden=true: an entry that deletes an application
    noProgram,       // no Exec line
    programMissing,  // Exec or TryExec names a program that is not installed
    notOwnedByUser,  // another account (not root) owns it
    writableByOthers, // its group or everyone may write it
};

class ApplicationCatalog {
public:
    virtual ~ApplicationCatalog() = default;
    // Main thread. The launchable applications the desktop shows in its
    // menus, sorted by name.
    virtual QList<InstalledApplication> applications() = 0;
    // Main thread. Whether the file at `path` is a launchable application
    // that only the user or root may change (it is read again at each
    // launch); fills `app` when it is. `program` receives the missing
    // program's name for programMissing.
    virtual ApplicationProblem check(const QString& path, InstalledApplication* app, QString* program) = 0;
};

} // namespace kestrune
