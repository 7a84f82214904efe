#pragma once
// Where the panel opens: next to the tray icon, like a menu under a
// menu-bar item, and always wholly inside the screen's usable area.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace kestrune {

// `icon`: the tray icon's geometry (may be empty when the tray does not tell);
// `available`: the usable area of the screen the icon is on (or the primary).
QPoint panelPosition(const QRect& icon, const QSize& panel, const QRect& available);

} // namespace kestrune
