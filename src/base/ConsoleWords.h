#pragma once
// The lines Kestrune prints on standard output when it quits and when it
// cannot read the keyboard, where a user or a script looks for them: in the
// words of the platform it was built for. macOS keeps the event tap's terms.

#include <QString>

namespace kestrune::consoleWords {

inline QString quitting()
{
#ifdef __APPLE__
    return QStringLiteral("Application triggering termination reset.");
#else
    return QStringLiteral("Quitting: the keyboards go back to the desktop as they were.");
#endif
}

// Followed by what stood in the way, when something is known.
inline QString keyboardUnreadable()
{
#ifdef __APPLE__
    return QStringLiteral("Error: Failed to create event tap.");
#else
    return QStringLiteral("Error: Kestrune cannot read the keyboards.");
#endif
}

} // namespace kestrune::consoleWords
