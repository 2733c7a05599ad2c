#include "shortcuts/RecorderCocoa.h"
#include "platform/fake/FakePlatform.h"
#include "shared/NotificationCenter.h"
#include "shortcuts/GlobalShortcuts.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace GlobalShortcuts;
using quorvale::platform::GlobalHotKeys;
using quorvale::platform::ModalAlerts;

namespace {

// X keycodes, as FakeKeyboardLayout maps them.
constexpr quint32 kEsc = 9, kTab = 23, kBackspace = 22, kDelete = 119, kA = 38, kQ = 24, kZ = 52,
                  kK = 45, kP = 33, kF5 = 71, kF12 = 96, kSuperL = 133, kUnmapped = 250;
const Shortcut kSuperAltP(35, 0x900);
const Shortcut kSuperAltK(40, 0x900);
const Qt::KeyboardModifiers kSuperAlt = Qt::MetaModifier | Qt::AltModifier;

class Recording : public ::testing::Test {
protected:
    void SetUp() override {
        detail::resetForTesting();
        fakes.keyboardLayout->characters.insert(12, "q");
        fakes.keyboardLayout->characters.insert(40, "k");
        name = Name("slot", kSuperAltP);
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        recorder = new RecorderCocoa(name, [this](const auto& s) { changes.push_back(s); });
        recorder->beep = [this] { ++beeps; };
        other = new QPushButton("other");
        layout->addWidget(recorder);
        layout->addWidget(other);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        activity = quorvale::NotificationCenter::defaultCenter().addObserver(
            RecorderCocoa::kRecorderActiveStatusDidChange,
            [this](const QVariantMap& info) { active.append(info.value("isActive").toBool()); });
    }
    void TearDown() override {
        window.reset();
        detail::resetForTesting();
    }

    void startRecording() {
        QTest::mouseClick(recorder, Qt::LeftButton);
        ASSERT_TRUE(recorder->isRecording());
    }
    void press(quint32 keycode, Qt::KeyboardModifiers modifiers = {}, int key = Qt::Key_unknown,
               bool autoRepeat = false) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, keycode, 0, 0, QString(), autoRepeat);
        QApplication::sendEvent(recorder, &event);
    }
    QVariant stored() const { return fakes.defaults->objectForKey(kKeyPrefix + "slot"); }
    bool grabbed(const Shortcut& s) const {
        return fakes.hotKeys->isRegistered(s.carbonKeyCode, s.carbonModifiers);
    }

    quorvale::platform::FakePlatform fakes;
    Name name;
    std::unique_ptr<QWidget> window;
    RecorderCocoa* recorder = nullptr;
    QPushButton* other = nullptr;
    std::vector<std::optional<Shortcut>> changes;
    QList<bool> active;
    int beeps = 0;
    std::unique_ptr<quorvale::NotificationCenter::ObserverToken> activity;
};

TEST_F(Recording, KeyRules) {
    struct Case {
        const char* what;
        quint32 keycode;
        Qt::KeyboardModifiers modifiers;
        int key;
        bool autoRepeat;
        std::optional<Shortcut> storedAfter; // empty: cleared
        bool recordingAfter;
        int beeps;
    } cases[] = {
        {"Esc keeps the old shortcut", kEsc, {}, Qt::Key_Escape, false, kSuperAltP, false, 0},
        {"Backspace clears", kBackspace, {}, Qt::Key_Backspace, false, std::nullopt, true, 0},
        {"Delete clears", kDelete, {}, Qt::Key_Delete, false, std::nullopt, true, 0},
        {"Tab moves on", kTab, {}, Qt::Key_Tab, false, kSuperAltP, false, 0},
        {"a plain letter", kA, {}, Qt::Key_A, false, kSuperAltP, true, 1},
        {"Shift and a letter", kA, Qt::ShiftModifier, Qt::Key_A, false, kSuperAltP, true, 1},
        {"a modifier alone", kSuperL, Qt::MetaModifier, Qt::Key_Super_L, false, kSuperAltP, true,
         0},
        {"a key the table lacks", kUnmapped, Qt::ControlModifier, Qt::Key_unknown, false,
         kSuperAltP, true, 1},
        {"a repeat", kK, kSuperAlt, Qt::Key_K, true, kSuperAltP, true, 0},
        {"F5 alone", kF5, {}, Qt::Key_F5, false, Shortcut(96, 0), false, 0},
        {"Shift+F5", kF5, Qt::ShiftModifier, Qt::Key_F5, false, Shortcut(96, 0x200), false, 0},
        {"Super+Alt+K", kK, kSuperAlt, Qt::Key_K, false, kSuperAltK, false, 0},
    };
    for (const Case& c : cases) {
        setShortcut(kSuperAltP, name);
        beeps = 0;
        startRecording();
        press(c.keycode, c.modifiers, c.key, c.autoRepeat);
        EXPECT_EQ(getShortcut(name), c.storedAfter) << c.what;
        EXPECT_EQ(recorder->isRecording(), c.recordingAfter) << c.what;
        EXPECT_EQ(dispatchSuspended(), c.recordingAfter) << c.what;
        EXPECT_EQ(beeps, c.beeps) << c.what;
        EXPECT_EQ(recorder->text(), c.storedAfter ? c.storedAfter->displayString() : "") << c.what;
        EXPECT_TRUE(fakes.alerts->shown.empty()) << c.what;
        recorder->clearFocus();
    }
    EXPECT_EQ(stored(), QVariant(QString::fromUtf8(kSuperAltK.toJson())));
    EXPECT_TRUE(grabbed(kSuperAltK));
    EXPECT_FALSE(grabbed(kSuperAltP)) << "the replaced shortcut is let go";
}

TEST_F(Recording, ShortcutsOfTheAppsOwnMenusAreRefusedByName) {
    auto* quit = new QAction("&Quit", window.get());
    quit->setShortcut(QKeySequence("Ctrl+Q"));
    auto* edit = new QMenu("Edit", window.get());
    edit->addAction("Undo")->setShortcut(QKeySequence("Ctrl+Z"));
    window->addAction(quit);
    window->addAction(edit->menuAction());
    for (const auto& [keycode, title] : {std::pair{kQ, "Quit"}, std::pair{kZ, "Undo"}}) {
        fakes.alerts->shown.clear();
        startRecording();
        press(keycode, Qt::ControlModifier);
        ASSERT_EQ(fakes.alerts->shown.size(), 1u) << title;
        EXPECT_TRUE(fakes.alerts->shown[0].messageText.contains(QString("“%1”").arg(title)));
        EXPECT_TRUE(fakes.alerts->shown[0].buttons.isEmpty());
        EXPECT_EQ(getShortcut(name), kSuperAltP) << title;
        EXPECT_TRUE(recorder->isRecording()) << "recording resumes after the alert";
    }
}

TEST_F(Recording, DesktopReservedShortcutAsksAndOnlyUseAnywayStoresIt) {
    fakes.hotKeys->reserved = {{true, 40, 0x900}, {true, 111, 0}};
    fakes.alerts->response = ModalAlerts::kFirstButtonResponse;
    startRecording();
    press(kK, kSuperAlt);
    ASSERT_EQ(fakes.alerts->shown.size(), 1u);
    EXPECT_EQ(fakes.alerts->shown[0].buttons, QStringList({"OK", "Use Anyway"}));
    EXPECT_EQ(getShortcut(name), kSuperAltP);
    EXPECT_TRUE(recorder->isRecording());

    fakes.alerts->response = ModalAlerts::kFirstButtonResponse + 1;
    press(kK, kSuperAlt);
    EXPECT_EQ(getShortcut(name), kSuperAltK);
    EXPECT_FALSE(recorder->isRecording());

    startRecording();
    press(kF12, {}, Qt::Key_F12);
    EXPECT_EQ(getShortcut(name), Shortcut(111, 0)) << "plain F12 is never checked";
    EXPECT_EQ(fakes.alerts->shown.size(), 2u);
}

TEST_F(Recording, ACombinationTheServerRefusesIsNotStoredAndTheUserIsTold) {
    fakes.hotKeys->takenByOthers.insert({40, 0x900});
    fakes.hotKeys->reserved = {{true, 40, 0x900}};
    fakes.alerts->response = ModalAlerts::kFirstButtonResponse + 1; // forced past the warning
    startRecording();
    press(kK, kSuperAlt);
    ASSERT_EQ(fakes.alerts->shown.size(), 2u);
    EXPECT_EQ(fakes.alerts->shown[1].messageText,
              "The shortcut Super+Alt+K could not be set up: another program uses it.");
    EXPECT_EQ(fakes.alerts->shown[1].informativeText, "Super+Alt+P stays in use.");
    EXPECT_EQ(getShortcut(name), kSuperAltP);
    EXPECT_TRUE(grabbed(kSuperAltP)) << "the earlier shortcut still works";
    EXPECT_EQ(recorder->text(), "Super+Alt+P");
    EXPECT_TRUE(changes.empty());

    // Without global grabs in the session there is nothing to check against: it is stored.
    fakes.hotKeys->available = false;
    fakes.hotKeys->reserved.clear();
    startRecording();
    press(kK, kSuperAlt);
    EXPECT_EQ(getShortcut(name), kSuperAltK);
}

TEST_F(Recording, RecordingSuspendsDispatchAndEveryWayOutLiftsIt) {
    int fired = 0;
    onKeyUp(name, [&] { ++fired; });
    startRecording();
    EXPECT_TRUE(fakes.hotKeys->grabbedKeysToFocus);
    fakes.hotKeys->pressAndRelease(35, 0x900);
    EXPECT_EQ(fired, 0) << "an assigned shortcut is recorded, not run";

    other->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(dispatchSuspended());
    EXPECT_FALSE(fakes.hotKeys->grabbedKeysToFocus);
    startRecording();
    window->close();
    EXPECT_FALSE(dispatchSuspended()) << "closing the window ends recording";
    EXPECT_EQ(active, QList<bool>({true, false, true, false}));
}

TEST_F(Recording, DestroyingTheFieldWhileRecordingLiftsTheSuspension) {
    startRecording();
    delete recorder;
    EXPECT_FALSE(dispatchSuspended());
    EXPECT_FALSE(fakes.hotKeys->grabbedKeysToFocus);
}

TEST_F(Recording, ComingBackToTheWindowDoesNotRecordAndNothingCanBeTyped) {
    recorder->setFocus(Qt::ActiveWindowFocusReason);
    EXPECT_FALSE(recorder->isRecording());
    QTest::keyClicks(recorder, "xyz");
    QTest::mouseClick(recorder, Qt::MiddleButton);
    EXPECT_EQ(recorder->text(), "Super+Alt+P");
    QTest::keyClick(recorder, Qt::Key_Space);
    EXPECT_TRUE(recorder->isRecording()) << "Space starts recording";
}

TEST_F(Recording, ClicksOutsideEndRecordingUnlessTheyJustMissTheField) {
    startRecording();
    const QPoint justBelow(recorder->width() / 2, recorder->height() + 2);
    QTest::mouseClick(recorder, Qt::LeftButton, {}, justBelow);
    EXPECT_TRUE(recorder->isRecording());
    QTest::mouseClick(window.get(), Qt::LeftButton, {},
                      recorder->mapTo(window.get(), QPoint(recorder->width() / 2, -20)));
    EXPECT_FALSE(recorder->isRecording());
}

TEST_F(Recording, DisplayFollowsTheStoreTheNameAndTheLayout) {
    setShortcut(kSuperAltK, name);
    EXPECT_EQ(recorder->text(), "Super+Alt+K");
    fakes.defaults->setObject(QString::fromUtf8(Shortcut(0, 0x900).toJson()), kKeyPrefix + "slot");
    recorder->setShortcutName(Name("slot"));
    EXPECT_EQ(recorder->text(), "Super+Alt+K") << "same raw value: no refresh";
    fakes.keyboardLayout->switchTo({{0, "q"}, {40, "k"}});
    EXPECT_EQ(recorder->text(), "Super+Alt+Q") << "a layout switch shows at once";
    recorder->setShortcutName(Name("other"));
    EXPECT_EQ(recorder->text(), "");
}

TEST_F(Recording, TheClearButtonClearsAndKeepsRecording) {
    startRecording();
    recorder->clear();
    emit recorder->textEdited(QString());
    EXPECT_EQ(stored(), QVariant(false)) << "a default that the user removed stays removed";
    EXPECT_TRUE(recorder->isRecording());
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_FALSE(changes[0].has_value());
}

} // namespace
