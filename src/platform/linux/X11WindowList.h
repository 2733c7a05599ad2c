#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>
#include <xcb/xcb.h>

namespace quorvale::platform {

// The top-level windows of an X screen as the window manager stacks them, read in one
// round of pipelined requests. Geometry in native root pixels.
class X11WindowList {
public:
    struct Window {
        xcb_window_t id = 0;
        QRect frame;   // with the window manager's decorations
        QRect content; // the application's own area, without them
        double alpha = 1.0;
        bool viewable = false;
        bool hidden = false;
        bool above = false;
        bool dock = false;
        bool desktop = false;
        QString applicationId; // WM_CLASS class or the toolkit's application id
        QString title;
        std::optional<std::uint32_t> pid;
        bool isOnScreen() const { return viewable && !hidden; }
    };

    explicit X11WindowList(xcb_connection_t* connection);

    // Front-most first. Without a window manager: the root's mapped children, skipping
    // input-only and override-redirect windows (menus, tooltips, our overlays).
    std::vector<Window> windows() const;

private:
    xcb_atom_t atom(const char* name) const;
    std::vector<xcb_window_t> stackingOrder() const;

    xcb_connection_t* m_connection;
    xcb_window_t m_root = 0;
    struct Atoms {
        xcb_atom_t clientListStacking, frameExtents, opacity, windowType, typeDock, typeDesktop,
            state, stateHidden, stateAbove, netWmName, utf8String, pid, gtkApplicationId;
    } m_atoms{};
};

} // namespace quorvale::platform
