#include "platform/linux/X11Compositing.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace kestrune {

bool x11HasCompositor(const QByteArray& display)
{
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(display.isEmpty() ? nullptr : display.constData(), &screen);
    std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t*)> guard(connection, xcb_disconnect);
    if (!connection || xcb_connection_has_error(connection))
        return false;
    const std::string name = "_NET_WM_CM_S" + std::to_string(screen);
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
    if (!atom)
        return false;
    const xcb_atom_t selection = atom->atom;
    std::free(atom);
    if (selection == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
    const bool owned = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    return owned;
}

} // namespace kestrune
