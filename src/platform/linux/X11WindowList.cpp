#include "platform/linux/X11WindowList.h"

#include "platform/linux/X11Connection.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace quorvale::platform {
namespace {

template <typename T> XcbReply<T> own(T* reply) {
    return XcbReply<T>(reply, &std::free);
}

constexpr std::uint32_t kMaxPropertyWords = 4096;

template <typename T> std::vector<T> values(const xcb_get_property_reply_t* reply) {
    if (!reply || reply->format != sizeof(T) * 8) {
        return {};
    }
    const auto* data = static_cast<const T*>(xcb_get_property_value(reply));
    const int count = xcb_get_property_value_length(reply) / int(sizeof(T));
    return std::vector<T>(data, data + std::max(0, count));
}

QString text(const xcb_get_property_reply_t* reply, bool utf8) {
    if (!reply || reply->format != 8) {
        return {};
    }
    const char* data = static_cast<const char*>(xcb_get_property_value(reply));
    const int length = xcb_get_property_value_length(reply);
    return utf8 ? QString::fromUtf8(data, length) : QString::fromLatin1(data, length);
}

// WM_CLASS holds "instance\0class\0"; the class names the application.
QString windowClass(const xcb_get_property_reply_t* reply) {
    const QString both = text(reply, false);
    const QStringList parts = both.split(QChar(0), Qt::SkipEmptyParts);
    return parts.size() >= 2 ? parts.at(1) : parts.value(0);
}

} // namespace

X11WindowList::X11WindowList(xcb_connection_t* connection)
    : m_connection(connection) {
    if (!m_connection) {
        return;
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    m_atoms = {atom("_NET_CLIENT_LIST_STACKING"),
               atom("_NET_FRAME_EXTENTS"),
               atom("_NET_WM_WINDOW_OPACITY"),
               atom("_NET_WM_WINDOW_TYPE"),
               atom("_NET_WM_WINDOW_TYPE_DOCK"),
               atom("_NET_WM_WINDOW_TYPE_DESKTOP"),
               atom("_NET_WM_STATE"),
               atom("_NET_WM_STATE_HIDDEN"),
               atom("_NET_WM_STATE_ABOVE"),
               atom("_NET_WM_NAME"),
               atom("UTF8_STRING"),
               atom("_NET_WM_PID"),
               atom("_GTK_APPLICATION_ID")};
}

xcb_atom_t X11WindowList::atom(const char* name) const {
    return internAtom(m_connection, name);
}

std::vector<xcb_window_t> X11WindowList::stackingOrder() const {
    // A window manager keeps the stacking list, bottom to top, of the windows it manages.
    const auto cookie = xcb_get_property(m_connection, 0, m_root, m_atoms.clientListStacking,
                                         XCB_ATOM_WINDOW, 0, kMaxPropertyWords);
    auto reply = own(xcb_get_property_reply(m_connection, cookie, nullptr));
    std::vector<xcb_window_t> stacked = values<xcb_window_t>(reply.get());
    if (!stacked.empty()) {
        return stacked;
    }
    auto tree =
        own(xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr));
    if (!tree) {
        return {};
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    return std::vector<xcb_window_t>(children,
                                     children + xcb_query_tree_children_length(tree.get()));
}

std::vector<X11WindowList::Window> X11WindowList::windows() const {
    if (!m_connection || xcb_connection_has_error(m_connection)) {
        return {};
    }
    const std::vector<xcb_window_t> ids = stackingOrder();
    struct Cookies {
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_geometry_cookie_t geometry;
        xcb_translate_coordinates_cookie_t origin;
        xcb_get_property_cookie_t extents, opacity, type, state, wmClass, gtkId, netName, name, pid;
    };
    auto property = [this](xcb_window_t id, xcb_atom_t name, xcb_atom_t type) {
        return xcb_get_property(m_connection, 0, id, name, type, 0, kMaxPropertyWords);
    };
    std::vector<Cookies> cookies;
    cookies.reserve(ids.size());
    for (xcb_window_t id : ids) {
        cookies.push_back({xcb_get_window_attributes(m_connection, id),
                           xcb_get_geometry(m_connection, id),
                           xcb_translate_coordinates(m_connection, id, m_root, 0, 0),
                           property(id, m_atoms.frameExtents, XCB_ATOM_CARDINAL),
                           property(id, m_atoms.opacity, XCB_ATOM_CARDINAL),
                           property(id, m_atoms.windowType, XCB_ATOM_ATOM),
                           property(id, m_atoms.state, XCB_ATOM_ATOM),
                           property(id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING),
                           property(id, m_atoms.gtkApplicationId, m_atoms.utf8String),
                           property(id, m_atoms.netWmName, m_atoms.utf8String),
                           property(id, XCB_ATOM_WM_NAME, XCB_ATOM_ANY),
                           property(id, m_atoms.pid, XCB_ATOM_CARDINAL)});
    }
    std::vector<Window> result;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const Cookies& c = cookies[i];
        auto attributes = own(xcb_get_window_attributes_reply(m_connection, c.attributes, nullptr));
        auto geometry = own(xcb_get_geometry_reply(m_connection, c.geometry, nullptr));
        auto origin = own(xcb_translate_coordinates_reply(m_connection, c.origin, nullptr));
        auto reply = [this](xcb_get_property_cookie_t cookie) {
            return own(xcb_get_property_reply(m_connection, cookie, nullptr));
        };
        auto extents = reply(c.extents), opacity = reply(c.opacity), type = reply(c.type),
             state = reply(c.state), wmClass = reply(c.wmClass), gtkId = reply(c.gtkId),
             netName = reply(c.netName), name = reply(c.name), pid = reply(c.pid);
        if (!attributes || !geometry || !origin ||
            attributes->_class == XCB_WINDOW_CLASS_INPUT_ONLY || attributes->override_redirect) {
            continue;
        }
        Window window;
        window.id = ids[i];
        const std::vector<std::uint32_t> frame = values<std::uint32_t>(extents.get());
        const int left = frame.size() == 4 ? int(frame[0]) : 0;
        const int right = frame.size() == 4 ? int(frame[1]) : 0;
        const int top = frame.size() == 4 ? int(frame[2]) : 0;
        const int bottom = frame.size() == 4 ? int(frame[3]) : 0;
        window.content = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
        window.frame = window.content.adjusted(-left, -top, right, bottom);
        if (const auto alpha = values<std::uint32_t>(opacity.get()); !alpha.empty()) {
            window.alpha = double(alpha.front()) / 0xffffffffu;
        }
        window.viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        for (xcb_atom_t t : values<xcb_atom_t>(type.get())) {
            window.dock = window.dock || t == m_atoms.typeDock;
            window.desktop = window.desktop || t == m_atoms.typeDesktop;
        }
        for (xcb_atom_t s : values<xcb_atom_t>(state.get())) {
            window.hidden = window.hidden || s == m_atoms.stateHidden;
            window.above = window.above || s == m_atoms.stateAbove;
        }
        window.applicationId = text(gtkId.get(), true);
        if (window.applicationId.isEmpty()) {
            window.applicationId = windowClass(wmClass.get());
        }
        window.title = text(netName.get(), true);
        if (window.title.isEmpty()) {
            window.title = text(name.get(), false);
        }
        if (const auto owner = values<std::uint32_t>(pid.get()); !owner.empty()) {
            window.pid = owner.front();
        }
        result.push_back(std::move(window));
    }
    std::reverse(result.begin(), result.end());
    return result;
}

} // namespace quorvale::platform
