#pragma once
// What the settings stores share about a file they cannot read or write:
// keeping an unreadable file aside before the first change replaces it, and
// the console lines that say so. The interface's own texts come from the
// DefaultsProblem each store records.

#include <QString>

namespace kestrune::settingsfile {

// Renames `file` to <file>.unreadable-<date>-<time> (with -2, -3 … when that
// exists). True, with `keptAs` empty, when the file is already gone.
bool keepAside(const QString& file, QString* keptAs, QString* error);

// The console's lines.
QString unreadableLine(const QString& file, const QString& reason, int readableCount);
QString keptAsideLine(const QString& keptAs);
QString notKeptAsideLine(const QString& file, const QString& error);
QString notSavedLine(const QString& file, const QString& error);
QString wrongTypeLine(const QString& key, const QString& file);

} // namespace kestrune::settingsfile
