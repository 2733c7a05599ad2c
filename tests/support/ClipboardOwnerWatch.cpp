#include "support/ClipboardOwnerWatch.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xfixes.h>

namespace quorvale::test {

ClipboardOwnerWatch::ClipboardOwnerWatch(const QString& display) {
    m_connection = xcb_connect(display.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(m_connection)) {
        return;
    }
    const auto* extension = xcb_get_extension_data(m_connection, &xcb_xfixes_id);
    if (!extension || !extension->present) {
        return;
    }
    m_firstEvent = extension->first_event;
    free(xcb_xfixes_query_version_reply(m_connection, xcb_xfixes_query_version(m_connection, 5, 0),
                                        nullptr));
    const char name[] = "CLIPBOARD";
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> atom(
        xcb_intern_atom_reply(m_connection,
                              xcb_intern_atom(m_connection, 0, std::strlen(name), name), nullptr),
        &free);
    if (!atom) {
        return;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    xcb_xfixes_select_selection_input(m_connection, root, atom->atom,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER);
    xcb_flush(m_connection);
    m_valid = true;
}

ClipboardOwnerWatch::~ClipboardOwnerWatch() {
    xcb_disconnect(m_connection);
}

const std::vector<double>& ClipboardOwnerWatch::changes() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        if ((event->response_type & ~0x80) == m_firstEvent + XCB_XFIXES_SELECTION_NOTIFY) {
            m_changes.push_back(std::chrono::duration<double, std::milli>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count());
        }
        free(event);
    }
    return m_changes;
}

} // namespace quorvale::test
