#pragma once
// The workspace tests' installed applications: .desktop files in temporary
// XDG data folders, put in place before the first GIO call of the process
// (GIO reads the folders once). Also keeps launches away from the user's
// session bus and display.

#include <QString>

namespace kestrune::test {

// The temporary root: data/ (XDG_DATA_DIRS), home-data/ (XDG_DATA_HOME),
// config/ (XDG_CONFIG_HOME), bin/ (first on the PATH), elsewhere/. Valid once the test environment is set up.
QString desktopRoot();

// Writes a .desktop file; `relative` is below desktopRoot().
void writeDesktopFile(const QString& relative, const QByteArray& body);

// The file name of this test program, which one .desktop file runs.
QString selfExecutableName();

} // namespace kestrune::test
