#pragma once

#include <QString>
#include <sys/types.h>

namespace quorvale::test {

// A private Xvfb started without Qt, so that a test can point its own QApplication at it.
class XvfbServer {
public:
    explicit XvfbServer(int width = 1280, int height = 800);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool isValid() const { return !m_display.isEmpty(); }
    const QString& display() const { return m_display; }

private:
    pid_t m_pid = -1;
    QString m_display;
};

} // namespace quorvale::test
