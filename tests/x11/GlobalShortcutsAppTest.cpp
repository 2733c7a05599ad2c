#include "support/ForeignClient.h"
#include "support/X11AppTest.h"

#include <gtest/gtest.h>

using namespace quorvale;

namespace {

constexpr uint16_t kSuperAlt = XCB_MOD_MASK_4 | XCB_MOD_MASK_1;

// The running app and real key presses: Super+Alt+<raw keycode> from xdotool.
class ShortcutsInTheApp : public test::X11AppTest {
protected:
    int actions(const QString& name) const { return count("keyUp " + name + " at "); }
    // A capture must open its overlay; it is cancelled so the keyboard is free again.
    void cancelSelection(int selectionsBefore) {
        ASSERT_TRUE(waitForTrace("startup-done", selectionsBefore + 1)) << "no overlay came up";
        ASSERT_TRUE(key("Escape"));
        ASSERT_TRUE(waitForTrace("selection-finished", selectionsBefore + 1));
    }
    bool key(const QString& combination) const { return session.xdotool({"key", combination}); }
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
        const int selections = traceCount("startup-done");
        ASSERT_TRUE(key(QStringLiteral("super+alt+") + slot.keycode));
        ASSERT_TRUE(waitFor(QStringLiteral("keyUp ") + slot.name + " at ", 1)) << slot.name;
        if (slot.capture) {
            cancelSelection(selections);
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
    const QString notice =
        "Global shortcuts cannot be registered here: Quorvale runs through XWayland";
    ASSERT_TRUE(waitFor(notice, 1));
    const test::CommandOutput capture = session.runQuorvale({"capture"});
    EXPECT_EQ(capture.exitCode, 0) << capture.standardError.toStdString();
    ASSERT_TRUE(waitFor("[Debug] capture request", 1));
    EXPECT_EQ(count(notice), 1);
    EXPECT_EQ(count("does not work"), 0) << "each shortcut is not reported on its own";
}

class WholeRoad : public test::X11AppTest {
protected:
    WholeRoad()
        : X11AppTest({1920, 1080}) {}
};

TEST_F(WholeRoad, ShortcutDragAndTheTextIsOnTheClipboard) {
    startQuietApp();
    ASSERT_NE(session.startTerminal({100, 100},
                                    {"Quorvale reads this line", "and the second one too"}, 60, 10),
              0u);
    // The action runs on key-up: the key is released at once, as a quick typist does.
    ASSERT_TRUE(session.xdotool({"key", "--delay", "0", "super+alt+33"}));
    ASSERT_TRUE(waitFor("keyUp captureAndCopy at ", 1)) << "the shortcut never fired";
    ASSERT_TRUE(waitForTrace("overlay-painted", 1, 10000)) << "no overlay came up";
    ASSERT_TRUE(waitForTrace("startup-done", 1, 10000)) << "the overlay takes no gestures";
    drag({104, 104}, {704, 304});
    expectClipboardSoon("Quorvale reads this line\nand the second one too");
}

} // namespace
