#pragma once
// kestrune's command line. Everything but a plain start (or --show) is
// answered here, before any window, tray icon or engine exists, so that none
// of these options can start a second tap:
//
//   kestrune                  start, or show the running instance's panel
//   kestrune --show           the same, and the panel opens on a fresh start
//   kestrune --quit           the running instance quits as on SIGTERM
//   kestrune --pause/--resume the running instance pauses or resumes
//                             remapping, as its status dot does
//   kestrune --help / --version
//
// --print-active-app is handled before this (app/PrintActiveApp.h).

#include <QString>
#include <QStringList>

namespace kestrune {

struct CommandLine {
    enum class Action { run, show, quit, pause, resume, help, version, refuse };
    Action action = Action::run;
    // For refuse: what was wrong (an untranslated text with one %1) and
    // the argument it names. Translated when printed: the parse runs
    // before the application object and its catalogues exist.
    const char* error = nullptr;
    QString argument;

    // `arguments` without the program's name.
    static CommandLine parse(const QStringList& arguments);
};

// The one-line summary of the options, as --help and a refusal print it.
QString commandLineUsage();

// Carries out help, version, quit, pause, resume and refuse in a process that never
// becomes the instance. Needs no display. Returns the exit status.
int runCommandLine(const CommandLine& command, int argc, char* argv[]);

} // namespace kestrune
