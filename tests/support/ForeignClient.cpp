#include "support/ForeignClient.h"

#include <cstdlib>
#include <memory>

namespace quorvale::test {

ForeignClient::ForeignClient(const QString& display) {
    m_connection = xcb_connect(display.toLatin1().constData(), nullptr);
    if (isConnected()) {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
}

ForeignClient::~ForeignClient() {
    if (m_connection) {
        xcb_disconnect(m_connection);
    }
}

bool ForeignClient::grab(xcb_keycode_t keycode, std::initializer_list<uint16_t> modifierStates) {
    bool granted = true;
    for (const uint16_t modifiers : modifierStates) {
        const std::unique_ptr<xcb_generic_error_t, decltype(&free)> error(
            xcb_request_check(m_connection,
                              xcb_grab_key_checked(m_connection, 0, m_root, modifiers, keycode,
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)),
            &free);
        granted = granted && !error;
    }
    return granted;
}

void ForeignClient::ungrabAll(xcb_keycode_t keycode) {
    xcb_ungrab_key(m_connection, keycode, m_root, XCB_MOD_MASK_ANY);
    // A round trip makes sure the server has processed the ungrab.
    free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

bool ForeignClient::ownSelection(const QByteArray& name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> atom(
        xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, name.size(), name.constData()), nullptr),
        &free);
    if (!atom) {
        return false;
    }
    const xcb_window_t window = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(m_connection, window, atom->atom, XCB_CURRENT_TIME);
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&free)> owner(
        xcb_get_selection_owner_reply(m_connection,
                                      xcb_get_selection_owner(m_connection, atom->atom), nullptr),
        &free);
    return owner && owner->owner == window;
}

} // namespace quorvale::test
