#pragma once

#include <QByteArray>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace quorvale::platform {

template <typename T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

// Qt's own X connection; none under other platform plugins (offscreen, wayland), which
// offer the interface without one, or once the connection has failed.
xcb_connection_t* qtX11Connection();

// XCB_ATOM_NONE when the server cannot answer, or, with onlyIfExists, nobody named it yet.
xcb_atom_t internAtom(xcb_connection_t* connection, const QByteArray& name,
                      bool onlyIfExists = false);

// The screen Qt connected to: the one DISPLAY names.
int defaultScreenNumber();

} // namespace quorvale::platform
