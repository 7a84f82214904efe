#pragma once
// kestrune-sim scripts: one command a line, '#' starts a comment.
//
//   down KEY | up KEY | tap KEY      a physical key pressed, released, or both
//   wait N                           advance the clock: 150, 150ms, 1.5s
//   set NAME VALUE                   a setting, as the settings panel sets it
//   bind KEY PATH                    Hyper + KEY opens the application at PATH
//   repeat KEY [N]                   N autorepeat key-downs of a held KEY (1)
//   exclude ID                       exclude the application with identifier ID
//   front ID                         the application ID becomes frontmost
//   trust yes|no                     permission granted or withdrawn
//   device | wake                    a device arrival / a wake notice
//   sleep                            the machine is about to sleep
//   unplug                           the keyboard vanishes with its keys held
//   stall | resume                   the tap thread stalls (keys and posts wait)
//                                    and goes on, the waiting keys first
//   session active|inactive          our login session becomes (in)active
//
// Any identifier may be named: one the workspace does not know becomes an
// application of its own (see scriptedApplicationPath).

#include "SimHarness.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>
#include <vector>

namespace kestrune::script {

struct KeyCommand {
    enum Kind { down, up, tap } kind;
    KeyCode key;
};
struct Wait {
    Millis duration;
};
struct Set {
    QString name;
    QString value;
};
struct Bind {
    KeyCode key;
    QString path;
};
struct Exclude {
    QString bundleId;
};
struct Front {
    QString bundleId;
};
struct Trust {
    bool trusted;
};
struct Device {};
struct WakeUp {};
struct Repeat {
    KeyCode key;
    int count;
};
struct Sleep {};
struct Unplug {};
struct Stall {
    bool stalled;
};
struct Session {
    bool active;
};

using Command = std::variant<KeyCommand, Wait, Set, Bind, Exclude, Front, Trust, Device, WakeUp, Repeat, Sleep, Unplug,
                             Stall, Session>;

struct Line {
    int number;
    Command command;
};

struct ParseResult {
    std::vector<Line> lines;
    QString error; // "line N: …" when the script cannot run
};

// Key names (a–z, 0–9, caps, f19, esc, tab, space, return, delete, fwddelete,
// lcmd, rcmd, lshift, rshift, lopt, ropt, lctrl, rctrl, left, right, down, up,
// eisu, kana) or a decimal key code.
std::optional<KeyCode> parseKey(const QString& name);
// 150, 150ms, 1.5s.
std::optional<Millis> parseDuration(const QString& text);

// Reads the whole script before anything runs, so an error leaves nothing
// half-done.
ParseResult parse(const QString& text);

// Where a script's application with identifier `bundleId` lives when the
// workspace has none: "/Applications/Scripted/ID.app", named after the
// identifier's last part ("org.gnome.Terminal" is "Terminal").
QString scriptedApplicationPath(const QString& bundleId);
QString scriptedApplicationName(const QString& bundleId);

// Runs parsed commands against the harness. Returns an error text for a
// command the engine refused (a setting value that does not fit), else empty.
QString run(SimHarness& harness, const std::vector<Line>& lines);

// Applies a `set` of one of the remapper's own settings (checked by parse)
// through its setters, as the settings panel does; false for any other name.
bool applyRemapperSetting(KeyRemapper& remapper, const QString& name, const QString& value);

// The settings `set` accepts, and whether VALUE fits NAME.
QString checkSetting(const QString& name, const QString& value);

} // namespace kestrune::script
