#include "support/ClipboardOwnerWatch.h"
#include "support/ForeignClient.h"
#include "support/Wait.h"
#include "support/X11Session.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

constexpr uint16_t kSuperAlt = XCB_MOD_MASK_4 | XCB_MOD_MASK_1;

// The running app and real key presses: Super+Alt+<raw keycode> from xdotool.
class ShortcutsInTheApp : public ::testing::Test {
protected:
    explicit ShortcutsInTheApp(QSize screen = {1280, 800})
        : session(screen) {}

    void SetUp() override { ASSERT_TRUE(session.isValid()) << "Xvfb did not start"; }

    void startQuietApp() {
        ASSERT_TRUE(session.writeQuietDefaults());
        session.setEnvironment("QT_LOGGING_RULES", "quorvale.shortcuts.debug=true\n"
                                                   "quorvale.hotkeys.debug=true");
        session.setEnvironment("QUORVALE_TRACE_CAPTURE", "1");
        ASSERT_TRUE(session.startApp());
    }
    int count(const QString& text) const { return int(session.appErrors().count(text)); }
    int actions(const QString& name) const { return count("keyUp " + name + " at "); }
    bool waitFor(const QString& text, int times, int timeoutMs = 15000) const {
        return test::waitUntil([&] { return count(text) >= times; }, timeoutMs);
    }
    // The numbers of every "<prefix> <number>" line, in order.
    QList<double> numbers(const QString& pattern) const {
        QList<double> values;
        for (const auto& match : QRegularExpression(pattern).globalMatch(session.appErrors())) {
            values.append(match.captured(1).toDouble());
        }
        return values;
    }
    // A capture that opened its overlay is cancelled, so the keyboard is free again.
    void cancelSelectionIfOpen(int selectionsBefore) {
        if (waitFor("quorvale-trace: startup-done", selectionsBefore + 1, 3000)) {
            ASSERT_TRUE(key("Escape"));
            ASSERT_TRUE(waitFor("quorvale-trace: selection-finished", selectionsBefore + 1));
        }
    }

    bool key(const QString& combination) const { return session.xdotool({"key", combination}); }

    test::X11Session session;
};

TEST_F(ShortcutsInTheApp, EachShortcutRunsItsActionOncePerPress) {
    startQuietApp();
    struct Slot {
        const char* keycode;
        const char* name;
        bool capture;
    } slots_[] = {{"33", "captureAndCopy", true},
                  {"32", "captureAndCopyWindowMode", true},
                  {"31", "captureFromFile", false},
                  {"30", "captureFromPhotos", false}};
    for (const Slot& slot : slots_) {
        const int selections = count("quorvale-trace: startup-done");
        ASSERT_TRUE(key(QStringLiteral("super+alt+") + slot.keycode));
        ASSERT_TRUE(waitFor(QStringLiteral("keyUp ") + slot.name + " at ", 1)) << slot.name;
        if (slot.capture) {
            cancelSelectionIfOpen(selections);
        }
    }
    // Once per press: the slots that open nothing are pressed again and counted.
    ASSERT_TRUE(key("super+alt+31"));
    ASSERT_TRUE(key("super+alt+30"));
    ASSERT_TRUE(waitFor("keyUp captureFromPhotos at ", 2));
    EXPECT_EQ(actions("captureFromFile"), 2);
    EXPECT_EQ(actions("captureAndCopy"), 1);
    EXPECT_EQ(actions("captureAndCopyWindowMode"), 1);
    EXPECT_TRUE(session.isAppRunning());
}

TEST_F(ShortcutsInTheApp, CombinationHeldByAnotherProgramFailsAloneAndTheUserIsTold) {
    test::ForeignClient other(session.display());
    ASSERT_TRUE(other.isConnected());
    ASSERT_TRUE(
        other.grab(32, {kSuperAlt, kSuperAlt | XCB_MOD_MASK_2, kSuperAlt | XCB_MOD_MASK_LOCK,
                        kSuperAlt | XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK}));
    startQuietApp();
    const QString notice = QString::fromUtf8(
        "The shortcut Super+Alt+O for \u201cCapture Text in Window Mode\u201d does not work: "
        "another program already uses this combination.");
    ASSERT_TRUE(waitFor(notice, 1)) << session.appErrors().toStdString();

    ASSERT_TRUE(key("super+alt+32"));
    ASSERT_TRUE(key("super+alt+31"));
    ASSERT_TRUE(key("super+alt+30"));
    ASSERT_TRUE(waitFor("keyUp captureFromPhotos at ", 1));
    EXPECT_EQ(actions("captureFromFile"), 1);
    EXPECT_EQ(actions("captureAndCopyWindowMode"), 0);
    EXPECT_EQ(count(notice), 1);
    EXPECT_EQ(count("does not work"), 1) << "only the held one is reported";
}

TEST_F(ShortcutsInTheApp, WithoutGlobalGrabsTheUserIsToldOnceAndCommandsStillWork) {
    // Reached through XWayland, grabs would only see keys typed into X11 windows.
    session.setEnvironment("WAYLAND_DISPLAY", "wayland-test");
    startQuietApp();
    const QString notice = "Global shortcuts need an X11 session";
    ASSERT_TRUE(waitFor(notice, 1));
    const test::CommandOutput capture = session.runQuorvale({"capture"});
    EXPECT_EQ(capture.exitCode, 0) << capture.standardError.toStdString();
    ASSERT_TRUE(waitFor("quorvale-trace: request", 1));
    EXPECT_EQ(count(notice), 1);
    EXPECT_EQ(count("does not work"), 0) << "each shortcut is not reported on its own";
}

class WholeRoad : public ShortcutsInTheApp {
protected:
    WholeRoad()
        : ShortcutsInTheApp({1920, 1080}) {}

    // A terminal showing known text; returns the selection rectangle's top-left.
    QPoint showTerminal() {
        const quint32 window = session.startTerminal(
            {100, 100}, {"Quorvale reads this line", "and the second one too"}, 60, 10);
        EXPECT_NE(window, 0u);
        return {104, 104};
    }
    // Super+Alt+P, then a 600x200 drag over the terminal; false when no overlay came up.
    // The action runs on key-up: the key is released at once, as a quick typist does.
    bool captureByShortcut(QPoint topLeft) {
        const int selections = count("quorvale-trace: startup-done");
        EXPECT_TRUE(session.xdotool({"key", "--delay", "0", "super+alt+33"}));
        if (!waitFor("quorvale-trace: startup-done", selections + 1, 10000)) {
            return false;
        }
        const QPoint end = topLeft + QPoint(600, 200);
        const QPoint middle = (topLeft + end) / 2;
        EXPECT_TRUE(session.xdotool(
            {"mousemove", QString::number(topLeft.x()), QString::number(topLeft.y()), "mousedown",
             "1", "mousemove", QString::number(middle.x()), QString::number(middle.y()),
             "mousemove", QString::number(end.x()), QString::number(end.y()), "mouseup", "1"}));
        return true;
    }
};

const QString kTerminalText = "Quorvale reads this line\nand the second one too";

TEST_F(WholeRoad, ShortcutDragAndTheTextIsOnTheClipboard) {
    startQuietApp();
    const QPoint topLeft = showTerminal();
    if (!captureByShortcut(topLeft)) {
        ASSERT_TRUE(waitFor("keyUp captureAndCopy at ", 1)) << "the shortcut never fired";
        GTEST_SKIP() << "the area capture reports it is not supported in this build";
    }
    EXPECT_TRUE(test::waitUntil([&] { return session.clipboardText() == kTerminalText; }, 30000))
        << "clipboard: " << session.clipboardText().toStdString();
}

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

// Latency of the whole road, medians of 20 rounds; QUORVALE_BENCH_SHORTCUTS=1 runs it.
TEST_F(WholeRoad, Benchmark) {
    if (!qEnvironmentVariableIsSet("QUORVALE_BENCH_SHORTCUTS")) {
        GTEST_SKIP() << "set QUORVALE_BENCH_SHORTCUTS=1 to measure";
    }
    startQuietApp();
    test::ClipboardOwnerWatch clipboard(session.display());
    ASSERT_TRUE(clipboard.isValid());
    const QPoint topLeft = showTerminal();
    QList<double> keyToOverlay;
    QList<double> keyToRequest;
    QList<double> mouseUpToClipboard;
    for (int round = 0; round < 20; ++round) {
        const std::size_t owned = clipboard.changes().size();
        ASSERT_TRUE(captureByShortcut(topLeft)) << "no overlay";
        ASSERT_TRUE(test::waitUntil([&] { return clipboard.changes().size() > owned; }, 30000));
        const double pressed = numbers("quorvale.hotkeys: pressed 33 at ([0-9.]+)").last();
        const double requested = numbers("keyUp captureAndCopy at ([0-9.]+)").last();
        const double painted = numbers("quorvale-trace: overlay-painted ([0-9.]+)").last();
        const double mouseUp = numbers("quorvale-trace: mouse-up ([0-9.]+)").last();
        keyToOverlay.append(requested - pressed + painted);
        keyToRequest.append(requested - pressed);
        mouseUpToClipboard.append(clipboard.changes().back() - (requested + mouseUp));
        EXPECT_EQ(session.clipboardText(), kTerminalText);
    }
    std::printf("key press -> overlay painted: median %.1f ms (%.1f ms of it to the key-up "
                "action)\n",
                median(keyToOverlay), median(keyToRequest));
    std::printf("mouse-up -> clipboard owned (600x200): median %.1f ms\n",
                median(mouseUpToClipboard));
}

} // namespace
