#pragma once
// kestrune --print-active-app [seconds]: a check of the route to the active
// window on this desktop. Prints the route chosen, whether it follows the
// active window (and if not, what would help), then each application that
// comes to the front, for a few seconds (10 unless given). Only application
// identifiers are printed; nothing typed is read.

namespace kestrune {

// Runs the check in a process of its own (no windows, no keyboard access);
// returns the exit status: 0 when the active window is followed, else 1.
int printActiveApplications(int argc, char* argv[]);

} // namespace kestrune
