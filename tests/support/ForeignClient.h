#pragma once

#include <QByteArray>
#include <QString>
#include <initializer_list>
#include <xcb/xcb.h>

namespace quorvale::test {

// Another X client, for holding what the app under test wants or watches.
class ForeignClient {
public:
    explicit ForeignClient(const QString& display);
    ~ForeignClient();

    bool isConnected() const { return m_connection && !xcb_connection_has_error(m_connection); }
    // Grabs the key for exactly the given modifier states; true when all were granted.
    bool grab(xcb_keycode_t keycode, std::initializer_list<uint16_t> modifierStates);
    void ungrabAll(xcb_keycode_t keycode);
    // Takes the named selection (as a compositing manager takes _NET_WM_CM_S0) with a window
    // of its own; true once the server names this client the owner.
    bool ownSelection(const QByteArray& name);

private:
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_NONE;
};

} // namespace quorvale::test
