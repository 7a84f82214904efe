#include "app/PanelPlacement.h"

#include <algorithm>

namespace kestrune {

namespace {
// The gap between the icon (or the screen's corner) and the panel.
constexpr int kGap = 6;
} // namespace

QPoint panelPosition(const QRect& icon, const QSize& panel, const QRect& available)
{
    QPoint at;
    if (icon.isEmpty()) {
        // No icon position: the top-right corner, where a menu-bar panel sits.
        at = QPoint(available.right() + 1 - kGap - panel.width(), available.top() + kGap);
    } else {
        at.setX(icon.center().x() - panel.width() / 2);
        // Below an icon in the upper half of the screen, above one in the
        // lower half (a panel at the bottom edge).
        if (icon.center().y() < available.center().y())
            at.setY(icon.bottom() + 1 + kGap);
        else
            at.setY(icon.top() - kGap - panel.height());
    }
    const int maxX = available.right() + 1 - panel.width();
    const int maxY = available.bottom() + 1 - panel.height();
    at.setX(std::clamp(at.x(), available.left(), std::max(available.left(), maxX)));
    at.setY(std::clamp(at.y(), available.top(), std::max(available.top(), maxY)));
    return at;
}

} // namespace kestrune
