#include "platform/linux/X11GlobalHotKeys.h"
#include "platform/Platform.h"
#include "platform/fake/FakeDefaultsStore.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/XkbKeyboardLayout.h"
#include "shortcuts/GlobalShortcuts.h"
#include "support/ForeignClient.h"
#include "support/InsideXvfb.h"
#include "support/Wait.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <gtest/gtest.h>

using namespace quorvale;
using platform::GlobalHotKeys;

namespace {

constexpr quint32 kP = 35;
constexpr quint32 kO = 31;
constexpr quint32 kI = 34;
constexpr quint32 kY = 16;
constexpr quint32 kOptionCommand = 0x900;
constexpr uint16_t kSuperAlt = XCB_MOD_MASK_4 | XCB_MOD_MASK_1;

// Tools started from here inherit the private server's DISPLAY.
bool run(const QString& program, const QStringList& arguments) {
    return QProcess::execute(program, arguments) == 0;
}
bool key(const QString& combination) {
    return run("xdotool", {"key", combination});
}
QString display() {
    return qEnvironmentVariable("DISPLAY");
}

// Counts the presses of one key as the server sends them, repeats included. Installed after
// the backend's filter, it sees every event before the backend can take it.
struct RawKeyPresses : QAbstractNativeEventFilter {
    explicit RawKeyPresses(xcb_keycode_t keycode)
        : keycode(keycode) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~RawKeyPresses() override { QCoreApplication::instance()->removeNativeEventFilter(this); }
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        const auto* event = static_cast<const xcb_key_press_event_t*>(message);
        count += type == "xcb_generic_event_t" && (event->response_type & ~0x80) == XCB_KEY_PRESS &&
                 event->detail == keycode;
        return false;
    }
    xcb_keycode_t keycode;
    int count = 0;
};

// The real hot-key backend on this process's own X connection.
class X11HotKeys : public ::testing::Test {
protected:
    void SetUp() override {
        handler = hotKeys->installEventHandler([this](const GlobalHotKeys::Event& event) {
            events.push_back({event.kind, event.hotKeyId.id});
            return GlobalHotKeys::kNoError;
        });
        ASSERT_NE(handler, 0u);
        hotKeys->setHotKeyEventsEnabled(handler, true);
    }
    void TearDown() override {
        for (const auto ref : refs) {
            hotKeys->unregisterHotKey(ref);
        }
        hotKeys->removeEventHandler(handler);
    }

    GlobalHotKeys::HotKeyRef registered(quint32 keyCode, quint32 id) {
        GlobalHotKeys::HotKeyRef ref = 0;
        EXPECT_EQ(hotKeys->registerHotKey(keyCode, kOptionCommand, {1, id}, &ref),
                  GlobalHotKeys::kNoError);
        refs.push_back(ref);
        return ref;
    }
    int count(GlobalHotKeys::EventKind kind, quint32 id) const {
        return static_cast<int>(std::count(events.begin(), events.end(), std::pair{kind, id}));
    }
    // Presses and waits for the release of the given registration.
    bool pressAndWait(const QString& keycode, quint32 id) {
        const int before = count(GlobalHotKeys::EventKind::hotKeyReleased, id);
        return key("super+alt+" + keycode) && test::waitUntil([&] {
                   return count(GlobalHotKeys::EventKind::hotKeyReleased, id) > before;
               });
    }

    std::unique_ptr<platform::X11GlobalHotKeys> hotKeys =
        std::make_unique<platform::X11GlobalHotKeys>();
    GlobalHotKeys::HandlerRef handler = 0;
    std::vector<std::pair<GlobalHotKeys::EventKind, quint32>> events;
    std::vector<GlobalHotKeys::HotKeyRef> refs;
};

TEST_F(X11HotKeys, OnePressAndOneReleasePerKeyWhateverTheLocks) {
    ASSERT_TRUE(hotKeys->isAvailable());
    registered(kP, 7);
    const QStringList locks[] = {{}, {"Num_Lock"}, {"Caps_Lock"}, {"Num_Lock", "Caps_Lock"}};
    int presses = 0;
    for (const QStringList& lock : locks) {
        for (const QString& name : lock) {
            ASSERT_TRUE(key(name));
        }
        ASSERT_TRUE(pressAndWait("33", 7)) << lock.join("+").toStdString();
        ++presses;
        EXPECT_EQ(count(GlobalHotKeys::EventKind::hotKeyPressed, 7), presses);
        for (const QString& name : lock) {
            ASSERT_TRUE(key(name));
        }
    }
}

TEST_F(X11HotKeys, HeldKeyFiresOnceThoughRepeatedAndUnregisteredKeyNotAtAll) {
    registered(kP, 1);
    const auto o = registered(kO, 2);
    ASSERT_TRUE(run("xset", {"r", "rate", "150", "50"}));
    RawKeyPresses presses(33);
    ASSERT_TRUE(run("xdotool", {"keydown", "super+alt+33"}));
    const bool repeated = test::waitUntil([&] { return presses.count >= 3; });
    ASSERT_TRUE(run("xdotool", {"keyup", "33", "keyup", "alt", "keyup", "super"}));
    ASSERT_TRUE(repeated) << "the server never repeated the held key";
    ASSERT_TRUE(
        test::waitUntil([&] { return count(GlobalHotKeys::EventKind::hotKeyReleased, 1) == 1; }));
    EXPECT_EQ(count(GlobalHotKeys::EventKind::hotKeyPressed, 1), 1);

    hotKeys->unregisterHotKey(o);
    refs.erase(std::find(refs.begin(), refs.end(), o));
    // Events arrive in order: once P's second release is in, O's press would have been too.
    ASSERT_TRUE(key("super+alt+32"));
    ASSERT_TRUE(pressAndWait("33", 1));
    EXPECT_EQ(count(GlobalHotKeys::EventKind::hotKeyPressed, 2), 0);
}

TEST_F(X11HotKeys, CombinationHeldElsewhereFailsWithoutLeavingGrabsBehind) {
    test::ForeignClient other(display());
    ASSERT_TRUE(other.isConnected());
    // Only the Num Lock variant is taken: every other variant we grab must be given back.
    ASSERT_TRUE(other.grab(32, {kSuperAlt | XCB_MOD_MASK_2}));
    GlobalHotKeys::HotKeyRef ref = 0;
    EXPECT_EQ(hotKeys->registerHotKey(kO, kOptionCommand, {1, 3}, &ref),
              GlobalHotKeys::kHotKeyExists);
    EXPECT_EQ(ref, 0u);
    EXPECT_TRUE(other.grab(32, {kSuperAlt, kSuperAlt | XCB_MOD_MASK_LOCK}))
        << "a refused registration kept some of its grabs";
    other.ungrabAll(32);

    registered(kP, 4);
    registered(kI, 5);
    ASSERT_TRUE(pressAndWait("33", 4));
    ASSERT_TRUE(pressAndWait("31", 5));
    EXPECT_EQ(count(GlobalHotKeys::EventKind::hotKeyPressed, 3), 0);
}

TEST_F(X11HotKeys, LayoutSwitchKeepsTheKeyAndChangesItsCharacter) {
    platform::XkbKeyboardLayout layout;
    int changes = 0;
    layout.addLayoutObserver([&] { ++changes; });
    EXPECT_EQ(layout.characterForKeyCode(kY), "y");
    EXPECT_EQ(layout.characterForKeyCode(kP), "p");
    registered(kY, 6);

    ASSERT_TRUE(run("setxkbmap", {"de"}));
    EXPECT_TRUE(test::waitUntil([&] { return layout.characterForKeyCode(kY) == "z"; }));
    EXPECT_GT(changes, 0);
    EXPECT_EQ(layout.characterForKeyCode(kP), "p");
    EXPECT_EQ(layout.characterForKeyCode(6), "y");
    // The grab is by position: the key that now prints Z still fires it.
    EXPECT_TRUE(pressAndWait("29", 6));

    ASSERT_TRUE(run("setxkbmap", {"us"}));
    EXPECT_TRUE(test::waitUntil([&] { return layout.characterForKeyCode(kY) == "y"; }));
}

TEST(X11MenuTracking, ShortcutStillRunsWhileOurMenuHoldsTheKeyboard) {
    platform::Platform real;
    real.hotKeys = std::make_shared<platform::X11GlobalHotKeys>();
    real.keyboardLayout = std::make_shared<platform::XkbKeyboardLayout>();
    real.defaults = std::make_shared<platform::FakeDefaultsStore>();
    real.mainQueue = std::make_shared<platform::QtMainQueue>();
    platform::install(real);
    GlobalShortcuts::detail::resetForTesting();

    const GlobalShortcuts::Name name("menuOpen", GlobalShortcuts::Shortcut(kP, kOptionCommand));
    int ups = 0;
    GlobalShortcuts::onKeyUp(name, [&] { ++ups; });
    ASSERT_TRUE(key("super+alt+33"));
    ASSERT_TRUE(test::waitUntil([&] { return ups == 1; }));

    // Modifiers held before the menu opens: a Qt menu closes on a bare Alt press.
    ASSERT_TRUE(run("xdotool", {"keydown", "super+alt"}));
    QMenu menu;
    menu.addAction("Item");
    menu.popup({20, 20});
    ASSERT_TRUE(
        test::waitUntil([&] { return GlobalShortcuts::isMenuTracking() && menu.isVisible(); }));
    ASSERT_TRUE(key("33"));
    EXPECT_TRUE(test::waitUntil([&] { return ups == 2; }));
    EXPECT_TRUE(menu.isVisible()) << "the shortcut was taken, not handed to the menu";
    ASSERT_TRUE(run("xdotool", {"keyup", "alt", "keyup", "super"}));

    menu.close();
    ASSERT_TRUE(test::waitUntil([&] { return !GlobalShortcuts::isMenuTracking(); }));
    ASSERT_TRUE(key("super+alt+33"));
    EXPECT_TRUE(test::waitUntil([&] { return ups == 3; }));
    GlobalShortcuts::detail::resetForTesting();
    platform::install({});
}

} // namespace

int main(int argc, char** argv) {
    return quorvale::test::runTestsInsideXvfb(argc, argv);
}
