#include "support/XdotoolDriver.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <memory>

namespace quorvale::test {

XdotoolDriver::XdotoolDriver(QString display)
    : m_display(std::move(display)) {}

bool XdotoolDriver::run(const QString& program, const QStringList& arguments) const {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", m_display);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    return process.waitForFinished(15000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

bool XdotoolDriver::drag(int x1, int y1, int x2, int y2) const {
    return xdotool({"mousemove", QString::number(x1), QString::number(y1), "mousedown", "1",
                    "mousemove", QString::number((x1 + x2) / 2), QString::number((y1 + y2) / 2),
                    "mousemove", QString::number(x2), QString::number(y2), "mouseup", "1"});
}

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

} // namespace quorvale::test
