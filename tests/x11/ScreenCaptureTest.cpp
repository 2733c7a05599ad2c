#include "support/Wait.h"
#include "support/X11Session.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

// The whole road on a real X server: trigger, overlays, gesture, pixels, recognition,
// clipboard. The app reports its progress as trace lines on standard error.
class ScreenCapture : public ::testing::Test {
protected:
    explicit ScreenCapture(QSize framebuffer = {1280, 800})
        : session(framebuffer) {}

    void SetUp() override { ASSERT_TRUE(session.isValid()) << "Xvfb did not start"; }

    void startQuietApp() {
        ASSERT_TRUE(session.writeQuietDefaults());
        session.setEnvironment("QT_LOGGING_RULES", "com.vantrelo.Quorvale.Debug.debug=true");
        ASSERT_TRUE(session.startApp());
    }

    int traceCount(const QString& event) const {
        return int(session.appErrors().count(QStringLiteral("[Debug] capture ") + event + ' '));
    }
    QString lastTraceDetail(const QString& event) const {
        const QRegularExpression line("\\[Debug\\] capture " + event + " [0-9.]+ ?(\\S*)\\n");
        QString detail;
        for (const auto& match : line.globalMatch(session.appErrors())) {
            detail = match.captured(1);
        }
        return detail;
    }
    bool waitForTrace(const QString& event, int count, int timeoutMs = 15000) const {
        return test::waitUntil([&] { return traceCount(event) >= count; }, timeoutMs);
    }

    // Asks the app for a selection and waits until it accepts gestures.
    void beginSelection(bool windowMode) {
        const int started = traceCount("startup-done");
        QStringList arguments{"capture"};
        if (windowMode) {
            arguments << "--window";
        }
        const test::CommandOutput result = session.runQuorvale(arguments);
        ASSERT_EQ(result.exitCode, 0) << result.standardError.toStdString();
        ASSERT_TRUE(waitForTrace("startup-done", started + 1));
    }
    void drag(QPoint from, QPoint to) {
        const QPoint middle = (from + to) / 2;
        ASSERT_TRUE(session.xdotool(
            {"mousemove", QString::number(from.x()), QString::number(from.y()), "mousedown", "1",
             "mousemove", QString::number(middle.x()), QString::number(middle.y()), "mousemove",
             QString::number(to.x()), QString::number(to.y()), "mouseup", "1"}));
    }
    void expectClipboardSoon(const QString& expected) {
        EXPECT_TRUE(test::waitUntil([&] { return session.clipboardText() == expected; }, 30000))
            << "clipboard: " << session.clipboardText().toStdString();
    }
    void screenshot(const QString& name) const {
        // Kept for a person to look at when asked for.
        const QString folder = qEnvironmentVariable("QUORVALE_CAPTURE_SHOTS");
        if (!folder.isEmpty()) {
            QDir().mkpath(folder);
            session.saveScreenshot(folder + '/' + name);
        }
    }

    test::X11Session session;
};

class ScreenCaptureOnThreeMonitors : public ScreenCapture {
protected:
    // Primary in the middle, one monitor left of and above it, one to its right.
    ScreenCaptureOnThreeMonitors()
        : ScreenCapture({2304, 1024}) {}
};

TEST_F(ScreenCaptureOnThreeMonitors, AreaLeftOfAndAboveThePrimaryWithoutAWindowManager) {
    ASSERT_TRUE(session.setMonitors(
        {QRect(640, 256, 1024, 768), QRect(0, 0, 640, 480), QRect(1664, 0, 640, 1024)}));
    ASSERT_NE(session.startTerminal({40, 60}, {"Quartz lantern seventeen", "Amber river road"}),
              0u);
    startQuietApp();
    beginSelection(false);
    ASSERT_TRUE(session.xdotool({"mousemove", "30", "50", "mousedown", "1", "mousemove", "200",
                                 "100", "mousemove", "400", "140"}));
    screenshot("area-drag.png");
    ASSERT_TRUE(session.xdotool({"mouseup", "1"}));
    expectClipboardSoon("Quartz lantern seventeen\nAmber river road");
}

TEST_F(ScreenCaptureOnThreeMonitors, CancelsLeaveTheClipboardAlone) {
    ASSERT_TRUE(session.setMonitors(
        {QRect(640, 256, 1024, 768), QRect(0, 0, 640, 480), QRect(1664, 0, 640, 1024)}));
    startQuietApp();
    ASSERT_TRUE(session.setClipboardText("keep me"));

    beginSelection(false);
    screenshot("area-overlay.png");
    ASSERT_TRUE(session.xdotool({"key", "Escape"}));
    ASSERT_TRUE(waitForTrace("selection-finished", 1));

    beginSelection(false);
    drag({700, 300}, {704, 400}); // 4 pixels wide
    ASSERT_TRUE(waitForTrace("selection-finished", 2));

    beginSelection(true);
    ASSERT_TRUE(session.xdotool({"mousemove", "900", "500", "click", "1"})); // nothing there
    ASSERT_TRUE(waitForTrace("selection-finished", 3));

    // A monitor going away mid-selection ends it; nothing stale is captured.
    beginSelection(false);
    ASSERT_TRUE(session.removeMonitor(test::X11Session::monitorName(2)));
    ASSERT_TRUE(waitForTrace("selection-finished", 4));

    EXPECT_EQ(lastTraceDetail("selection-finished"), "cancelled");
    EXPECT_EQ(session.appErrors().count("selection-finished 0"), 0);
    EXPECT_EQ(traceCount("image-delivered"), 0);
    EXPECT_EQ(session.appErrors().count(" cancelled\n"), 4);
    EXPECT_EQ(session.clipboardText(), "keep me");
    EXPECT_TRUE(session.isAppRunning());
}

TEST_F(ScreenCapture, AreaUnderAWindowManagerAcrossTwoMonitors) {
    ASSERT_TRUE(session.setMonitors({QRect(0, 0, 640, 800), QRect(640, 100, 640, 700)}));
    ASSERT_TRUE(session.startWindowManager());
    ASSERT_NE(session.startTerminal({700, 200}, {"Copper kettle whistles", "Seven blue doors"}),
              0u);
    startQuietApp();
    beginSelection(false);
    drag({690, 200}, {1100, 320});
    expectClipboardSoon("Copper kettle whistles\nSeven blue doors");
}

TEST_F(ScreenCapture, ScaleFactorTwoCapturesEveryPixel) {
    session.setEnvironment("QT_SCALE_FACTOR", "2");
    ASSERT_NE(session.startTerminal({100, 100}, {"Silver orchard morning"}), 0u);
    startQuietApp();
    beginSelection(false);
    drag({90, 90}, {490, 190}); // 400 x 100 pixels, 200 x 50 points
    expectClipboardSoon("Silver orchard morning");
    EXPECT_EQ(lastTraceDetail("image-delivered"), "400x100");
}

class WindowMode : public ScreenCapture, public ::testing::WithParamInterface<bool> {};

TEST_P(WindowMode, PicksTheWholeTextOfAHalfCoveredWindow) {
    const bool withWindowManager = GetParam();
    if (withWindowManager) {
        ASSERT_TRUE(session.startWindowManager());
    }
    const quint32 covered =
        session.startTerminal({100, 100}, {"Marble harbor lights", "Crimson feather bridge"});
    ASSERT_NE(covered, 0u);
    ASSERT_NE(session.startTerminal({230, 60}, {"On top"}, 30, 12), 0u);
    startQuietApp();
    beginSelection(true);
    ASSERT_TRUE(waitForTrace("window-list", 1));
    const int hovers = traceCount("hover");
    ASSERT_TRUE(session.xdotool({"mousemove", "150", "200"}));
    ASSERT_TRUE(session.xdotool({"mousemove", "160", "210"}));
    ASSERT_TRUE(test::waitUntil([&] {
        return traceCount("hover") > hovers &&
               lastTraceDetail("hover") == QString::number(covered, 16);
    }));
    screenshot(withWindowManager ? "window-highlight-openbox.png" : "window-highlight.png");
    ASSERT_TRUE(session.xdotool({"click", "1"}));
    expectClipboardSoon("Marble harbor lights\nCrimson feather bridge");
    EXPECT_EQ(session.appErrors().count("cannot be read"), 0) << "fell back to the screen";
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutWindowManager, WindowMode, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "openbox" : "bare"; });

} // namespace
