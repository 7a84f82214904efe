#pragma once
// Whether a compositing manager runs on the X display (it owns the
// _NET_WM_CM_S<screen> selection): only then are translucent windows
// blended over what is below them. False without a display. Main thread.

#include <QByteArray>

namespace kestrune {

bool x11HasCompositor(const QByteArray& display = {});

} // namespace kestrune
