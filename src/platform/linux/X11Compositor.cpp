#include "platform/linux/X11Compositor.h"

#include "platform/linux/X11Connection.h"

namespace quorvale::platform {

bool X11Compositor::isRunning() const {
    xcb_connection_t* connection = qtX11Connection();
    if (!connection) {
        return false;
    }
    const xcb_atom_t atom =
        internAtom(connection, "_NET_WM_CM_S" + QByteArray::number(defaultScreenNumber()), true);
    if (atom == XCB_ATOM_NONE) {
        return false; // nobody ever named it, so nobody owns it
    }
    const XcbReply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom),
                                      nullptr),
        &std::free);
    return owner && owner->owner != XCB_WINDOW_NONE;
}

} // namespace quorvale::platform
