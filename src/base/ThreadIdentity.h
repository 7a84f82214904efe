#pragma once
// Names the calling thread and raises it to the highest priority an
// unprivileged process may give it, for the thread that handles key events.

#include <string>

namespace kestrune {

// Sets the calling thread's name; where the platform limits its length
// (15 characters on Linux) the name is shortened to fit.
void setCurrentThreadName(const std::string& name);
// User-interactive quality of service on macOS; on Linux the lowest nice
// value RLIMIT_NICE allows (unchanged when it allows nothing better).
void raiseCurrentThreadPriority();

} // namespace kestrune
