#pragma once

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>
#include <xcb/xcb.h>

namespace quorvale::test {

// Keyboard and mouse of one X display, driven by xdotool and setxkbmap.
class XdotoolDriver {
public:
    explicit XdotoolDriver(QString display);

    // Runs the tool and waits for it; true when it exited with 0.
    bool run(const QString& program, const QStringList& arguments) const;
    bool xdotool(const QStringList& arguments) const { return run("xdotool", arguments); }
    // "super+alt+33": raw keycodes do not depend on the layout.
    bool key(const QString& combination) const { return xdotool({"key", combination}); }
    bool setLayout(const QString& layout) const { return run("setxkbmap", {layout}); }
    bool drag(int x1, int y1, int x2, int y2) const;

    const QString& display() const { return m_display; }

private:
    QString m_display;
};

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
