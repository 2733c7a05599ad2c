#include "platform/fake/FakePlatform.h"
#include "shared/NotificationCenter.h"
#include "shortcuts/CarbonGlobalShortcuts.h"
#include "shortcuts/GlobalShortcuts.h"
#include "shortcuts/RegistrationFailureReport.h"
#include "support/Wait.h"

#include <QMenu>
#include <gtest/gtest.h>

using namespace GlobalShortcuts;
using quorvale::platform::GlobalHotKeys;

namespace {

const Shortcut kOptionCommandP(35, 0x900);
const Shortcut kOptionCommandO(31, 0x900);

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        detail::resetForTesting();
        m_token = quorvale::NotificationCenter::defaultCenter().addObserver(
            kShortcutByNameDidChange, [this](const QVariantMap& info) {
                changes.append(info.value("name").value<Name>().rawValue);
            });
    }
    void TearDown() override { detail::resetForTesting(); }

    QVariant stored(const QString& raw) const {
        return fakes.defaults->objectForKey(kKeyPrefix + raw);
    }
    bool grabbed(const Shortcut& s) const {
        return fakes.hotKeys->isRegistered(s.carbonKeyCode, s.carbonModifiers);
    }
    void press(const Shortcut& s) {
        fakes.hotKeys->pressAndRelease(s.carbonKeyCode, s.carbonModifiers);
    }

    quorvale::platform::FakePlatform fakes;
    QStringList changes;
    std::unique_ptr<quorvale::NotificationCenter::ObserverToken> m_token;
};

TEST_F(Registry, DefaultIsStoredOnlyWhenTheKeyHoldsNothing) {
    struct Case {
        const char* name;
        QVariant before;
        std::optional<Shortcut> expected;
        bool expectGrab;
    } cases[] = {
        {"absent", QVariant(), kOptionCommandP, true},
        {"clearedByUser", QVariant(false), std::nullopt, false},
        {"userChoice", QVariant(QString::fromUtf8(kOptionCommandO.toJson())), kOptionCommandO,
         false},
        {"garbage", QVariant(QStringLiteral("{oops")), std::nullopt, false},
    };
    for (const Case& c : cases) {
        detail::resetForTesting();
        fakes.hotKeys->registrations.clear();
        if (c.before.isValid()) {
            fakes.defaults->setObject(c.before, kKeyPrefix + c.name);
        }
        const Name name(c.name, kOptionCommandP);
        EXPECT_EQ(getShortcut(name), c.expected) << c.name;
        EXPECT_EQ(grabbed(kOptionCommandP), c.expectGrab) << c.name;
    }
}

TEST_F(Registry, CreatingANameTwiceStoresTheDefaultOnce) {
    const Name first("twice", kOptionCommandP);
    const int writes = fakes.defaults->writeCount;
    const Name second("twice", kOptionCommandO);
    EXPECT_EQ(fakes.defaults->writeCount, writes);
    EXPECT_EQ(getShortcut(second), kOptionCommandP);
    EXPECT_EQ(changes, QStringList{"twice"});
}

TEST_F(Registry, ClearingWritesFalseOrRemovesByWhetherThereIsADefault) {
    const Name withDefault("withDefault", kOptionCommandP);
    const Name withoutDefault("withoutDefault");
    setShortcut(kOptionCommandO, withoutDefault);
    changes.clear();

    setShortcut(std::nullopt, withDefault);
    setShortcut(std::nullopt, withoutDefault);
    EXPECT_EQ(stored("withDefault"), QVariant(false));
    EXPECT_FALSE(stored("withoutDefault").isValid());
    EXPECT_FALSE(grabbed(kOptionCommandP));
    EXPECT_FALSE(grabbed(kOptionCommandO));
    EXPECT_EQ(changes, (QStringList{"withDefault", "withoutDefault"}));

    // Nothing stored: no write, no notification.
    const int writes = fakes.defaults->writeCount;
    setShortcut(std::nullopt, withDefault);
    EXPECT_EQ(fakes.defaults->writeCount, writes);
    EXPECT_EQ(changes.size(), 2);
}

TEST_F(Registry, SharedShortcutRunsBothAndSurvivesClearingOneName) {
    const Name first("first");
    const Name second("second");
    setShortcut(kOptionCommandP, first);
    setShortcut(kOptionCommandP, second);
    QStringList ran;
    onKeyUp(first, [&] { ran << "first"; });
    onKeyUp(second, [&] { ran << "second"; });
    onKeyUp(second, [&] { ran << "second again"; });
    press(kOptionCommandP);
    EXPECT_EQ(ran, (QStringList{"first", "second", "second again"}));

    // The name that still holds the shortcut keeps a working hot key.
    setShortcut(std::nullopt, first);
    EXPECT_TRUE(grabbed(kOptionCommandP));
    EXPECT_TRUE(isEnabled(second));
    ran.clear();
    press(kOptionCommandP);
    EXPECT_EQ(ran, (QStringList{"second", "second again"}));

    // Moving the other name away from it releases it for good.
    setShortcut(kOptionCommandO, second);
    EXPECT_FALSE(grabbed(kOptionCommandP));
    EXPECT_TRUE(grabbed(kOptionCommandO));
}

TEST_F(Registry, DispatchFollowsTheStoreAndTheSuspendSwitch) {
    const Name name("dispatch", kOptionCommandP);
    int ups = 0;
    onKeyUp(name, [&] { ++ups; });
    press(kOptionCommandP);
    EXPECT_EQ(ups, 1);

    setDispatchSuspended(true);
    press(kOptionCommandP);
    setDispatchSuspended(false);
    EXPECT_EQ(ups, 1) << "suspended presses are not queued";

    // Another process changed the stored shortcut: the old hot key no longer matches.
    fakes.defaults->setObject(QString::fromUtf8(kOptionCommandO.toJson()), kKeyPrefix + "dispatch");
    press(kOptionCommandP);
    EXPECT_EQ(ups, 1);
}

// A menu lets go of every hot key; one another program took meanwhile is not kept.
TEST_F(Registry, ClosingAMenuDropsAHotKeyTakenWhileItWasOpen) {
    const Name a("a", kOptionCommandP);
    const Name b("b", kOptionCommandO);
    detail::menuTrackingBegan();
    EXPECT_TRUE(fakes.hotKeys->registrations.empty());
    fakes.hotKeys->takenByOthers.insert({35, 0x900});
    testing::internal::CaptureStdout();
    detail::menuTrackingEnded();
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Error registering hotkey"),
              std::string::npos);
    EXPECT_FALSE(grabbed(kOptionCommandP));
    EXPECT_TRUE(grabbed(kOptionCommandO));
    EXPECT_EQ(CarbonGlobalShortcuts::registrationCount(), 1);
}

TEST_F(Registry, OpenMenuMovesShortcutsToRawKeys) {
    const Name name("menu", kOptionCommandP);
    int ups = 0;
    onKeyUp(name, [&] { ++ups; });
    QMenu menu;
    menu.addAction("Item");
    menu.popup({10, 10});
    ASSERT_TRUE(quorvale::test::waitUntil([] { return isMenuTracking(); }));
    EXPECT_TRUE(fakes.hotKeys->registrations.empty());
    const auto& handler = fakes.hotKeys->handlers.begin()->second;
    EXPECT_FALSE(handler.hotKeyEvents);
    EXPECT_TRUE(handler.rawKeyMonitor);

    // Caps Lock and stray bits do not prevent a match; other keys pass through.
    EXPECT_TRUE(fakes.hotKeys->rawKey(false, 35, 0x900 | 0x400 | 0x1));
    EXPECT_FALSE(fakes.hotKeys->rawKey(false, 35, 0x100));
    EXPECT_FALSE(fakes.hotKeys->rawKey(false, 12, 0x900));
    EXPECT_EQ(ups, 1);

    menu.close();
    ASSERT_TRUE(quorvale::test::waitUntil([] { return !isMenuTracking(); }));
    EXPECT_TRUE(grabbed(kOptionCommandP));
    EXPECT_TRUE(handler.hotKeyEvents);
    EXPECT_FALSE(handler.rawKeyMonitor);
}

TEST_F(Registry, RefusedRegistrationIsReportedOnceAndStillCounted) {
    fakes.hotKeys->takenByOthers.insert({31, 0x900});
    std::vector<std::pair<Shortcut, int>> failures;
    CarbonGlobalShortcuts::setFailureObserver(
        [&](const Shortcut& s, int status, const QString&) { failures.emplace_back(s, status); });
    testing::internal::CaptureStdout();
    const Name taken("taken", kOptionCommandO);
    const Name available("available", kOptionCommandP);
    const std::string printed = testing::internal::GetCapturedStdout();

    EXPECT_EQ(printed, "Error registering hotkey Super+Alt+O: -9878\n");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].second, GlobalHotKeys::kHotKeyExists);
    EXPECT_TRUE(grabbed(kOptionCommandP));
    // Counted as registered: attaching a callback does not try again.
    const int attempts = fakes.hotKeys->registerCalls;
    onKeyUp(taken, [] {});
    EXPECT_EQ(fakes.hotKeys->registerCalls, attempts);
    EXPECT_TRUE(isEnabled(taken));
}

TEST_F(Registry, ReservedShortcutsNeedEnabledCodeAndModifiers) {
    using Reserved = GlobalHotKeys::ReservedHotKey;
    fakes.hotKeys->reserved = {
        Reserved{true, 111, 0},
        Reserved{false, 35, 0x100},
        Reserved{true, std::nullopt, 0x100},
        Reserved{true, 35, std::nullopt},
        Reserved{true, 0, 0x900 | 0x1},
    };
    EXPECT_EQ(CarbonGlobalShortcuts::systemReservedShortcuts(),
              (std::vector{Shortcut(111, 0), Shortcut(0, 0x900)}));
}

TEST_F(Registry, FailureReportNamesTheSlotOnceInOneMessage) {
    const Name window("window");
    setShortcut(kOptionCommandO, window);
    QStringList shown;
    auto report = std::make_shared<RegistrationFailureReport>(
        std::vector<RegistrationFailureReport::Slot>{{window, "Capture Text in Window Mode"}},
        [&](const QString& text) { shown << text; });
    report->failed(kOptionCommandO, GlobalHotKeys::kHotKeyExists, "another program uses it");
    report->failed(Shortcut(34, 0x900), GlobalHotKeys::kHotKeyExists, "another program uses it");
    report->failed(kOptionCommandO, GlobalHotKeys::kHotKeyExists, "again");
    report->failed(kOptionCommandP, GlobalHotKeys::kHotKeysUnavailable, "no X11");
    fakes.mainQueue->runPending();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0], "The shortcut Super+Alt+O for “Capture Text in Window Mode” does not "
                        "work: another program uses it.")
        << "a shortcut no slot holds any more breaks nothing";
}

} // namespace
