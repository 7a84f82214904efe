#pragma once
// The native window behaviour Qt does not express: the system's glass
// behind the settings panel, and HUD panels that float at the status-bar
// level on every Space without ever taking the keyboard. Main thread; each
// call is idempotent and is made again whenever the window is shown (Qt may
// reset the native window's settings when it shows it).

class QWindow;

namespace kestrune {

// Puts the system's glass (macOS 26 and later) or a popover-material
// visual-effect view behind the window's content, with the given corner
// radius, and makes the window itself clear with a shadow.
void applyPanelGlass(QWindow* window, double cornerRadius);

// Status-bar level, on every Space and beside full-screen windows, out of
// the window cycle, click-through, non-activating; then ordered in front
// without activating the application.
void configureHudWindow(QWindow* window);

} // namespace kestrune
