#pragma once

#include "platform/ActivationPolicyService.h"

#include <QObject>
#include <xcb/xcb.h>

class QWindow;

namespace quorvale::platform {

// Regular: the app's windows get taskbar entries. Accessory: they carry
// _NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER, also windows shown later.
// Off xcb (offscreen tests) only the policy value is kept; nothing else happens.
class X11ActivationPolicy : public QObject, public ActivationPolicyService {
public:
    // A tray app starts as an accessory until told otherwise.
    explicit X11ActivationPolicy(Policy initial = Policy::accessory);

    Policy activationPolicy() const override { return m_policy; }
    void setActivationPolicy(Policy policy) override;
    void unhide() override;
    void activateIgnoringOtherApps() override;
    void orderFrontVisibleWindowsRegardless() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyPolicy(QWindow* window);
    void changeMappedState(xcb_window_t window, bool skip);
    void changeUnmappedState(xcb_window_t window, bool skip);

    Policy m_policy;
    xcb_connection_t* m_connection = nullptr;
    xcb_atom_t m_netWmState = XCB_ATOM_NONE;
    xcb_atom_t m_skipTaskbar = XCB_ATOM_NONE;
    xcb_atom_t m_skipPager = XCB_ATOM_NONE;
};

} // namespace quorvale::platform
