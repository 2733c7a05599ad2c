#pragma once

#include <QString>
#include <initializer_list>
#include <xcb/xcb.h>

namespace quorvale::test {

// Another X client, for holding keys the app under test wants.
class ForeignClient {
public:
    explicit ForeignClient(const QString& display);
    ~ForeignClient();

    bool isConnected() const { return m_connection && !xcb_connection_has_error(m_connection); }
    // Grabs the key for exactly the given modifier states; true when all were granted.
    bool grab(xcb_keycode_t keycode, std::initializer_list<uint16_t> modifierStates);
    void ungrabAll(xcb_keycode_t keycode);

private:
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_NONE;
};

} // namespace quorvale::test
