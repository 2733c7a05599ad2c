#pragma once

#include "support/X11Session.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <gtest/gtest.h>

namespace quorvale::test {

// The running app on a private X server, watched through what it writes to standard error:
// its shortcut log lines and its capture trace ("[Debug] capture <event> <ms> [detail]").
class X11AppTest : public ::testing::Test {
protected:
    explicit X11AppTest(QSize framebuffer = {1280, 800})
        : session(framebuffer) {}

    void SetUp() override { ASSERT_TRUE(session.isValid()) << "Xvfb did not start"; }

    // The tray app alone: no settings window, no sound, shortcuts and captures traced.
    void startQuietApp();

    int count(const QString& text) const { return int(session.appErrors().count(text)); }
    bool waitFor(const QString& text, int times, int timeoutMs = 15000) const;
    int traceCount(const QString& event) const {
        return count(QStringLiteral("[Debug] capture ") + event + ' ');
    }
    bool waitForTrace(const QString& event, int times, int timeoutMs = 15000) const {
        return waitFor(QStringLiteral("[Debug] capture ") + event + ' ', times, timeoutMs);
    }
    QString lastTraceDetail(const QString& event) const;

    // Asks the app for a selection and waits until it accepts gestures.
    void beginSelection(bool windowMode);
    void drag(QPoint from, QPoint to);
    void expectClipboardSoon(const QString& expected);

    X11Session session;
};

} // namespace quorvale::test
