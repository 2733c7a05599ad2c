#include "app/AppDelegate.h"
#include "capture/SelectionView.h"
#include "capture/SelectionViewPool.h"
#include "platform/Platform.h"
#include "platform/linux/LinuxPlatform.h"
#include "preferences/OCRSettingsView.h"
#include "preferences/PreferenceManager.h"
#include "preferences/PreferencesView.h"
#include "preferences/ShortcutsSettingsView.h"
#include "shared/ToastWindowController.h"
#include "shortcuts/GlobalShortcuts.h"
#include "shortcuts/Recorder.h"
#include "support/ForeignClient.h"
#include "support/InsideXvfb.h"
#include "support/Wait.h"
#include "support/X11Session.h"

#include <QApplication>
#include <QProcess>
#include <QTabBar>
#include <gtest/gtest.h>

using namespace quorvale;
using GlobalShortcuts::Name;
using GlobalShortcuts::Shortcut;

namespace {

constexpr uint16_t kSuperAlt = XCB_MOD_MASK_4 | XCB_MOD_MASK_1;
const Shortcut kSuperAltK(40, 0x900);

bool xdotool(const QStringList& arguments) {
    return QProcess::execute("xdotool", arguments) == 0;
}

// The settings window of the real app on a private X server, used by mouse and keyboard.
class SettingsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        GlobalShortcuts::detail::resetForTesting();
        platform::install(platform::makeLinuxPlatform({[](const QString&) {}, false}));
        PreferenceManager::setSharedForTesting(nullptr);
        delegate = std::make_unique<AppDelegate>();
        delegate->applicationDidFinishLaunching();
        ASSERT_NE(delegate->preferencesWindowController(), nullptr);
        window = delegate->preferencesWindowController()->window();
        ASSERT_TRUE(test::waitUntil([&] { return window->isActiveWindow(); }));
        view = window->findChild<PreferencesView*>();
        ASSERT_NE(view, nullptr);
    }
    void TearDown() override {
        delegate.reset();
        // The app lets go of these when it quits; the test ends without quitting it.
        ToastWindowController::closeAll();
        SelectionViewPool::clear();
        PreferenceManager::shared().waitForPendingWrites();
        PreferenceManager::setSharedForTesting(nullptr);
        GlobalShortcuts::detail::resetForTesting();
        platform::install({});
    }

    static bool click(QWidget* widget, QPoint at) {
        const QPoint global = widget->mapToGlobal(at);
        return xdotool({"mousemove", "--sync", QString::number(global.x()),
                        QString::number(global.y()), "click", "1"});
    }
    static bool click(QWidget* widget) { return click(widget, widget->rect().center()); }
    bool openTab(int index) {
        QTabBar* bar = view->tabs()->tabBar();
        return click(bar, bar->tabRect(index).center()) &&
               test::waitUntil([&] { return view->tabs()->currentIndex() == index; });
    }
    GlobalShortcuts::RecorderCocoa* field(int row) const {
        return view->findChild<ShortcutsSettingsView*>()->recorders().at(row)->field();
    }
    // Clicks the field and waits until it records.
    bool recordInto(int row) {
        auto* recorder = field(row);
        return click(recorder) && test::waitUntil([&] { return recorder->isRecording(); });
    }
    static bool overlayShown() {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->isVisible() &&
                (qobject_cast<SelectionView*>(top) || top->findChild<SelectionView*>())) {
                return true;
            }
        }
        return false;
    }

    std::unique_ptr<AppDelegate> delegate;
    QWidget* window = nullptr;
    PreferencesView* view = nullptr;
};

TEST_F(SettingsWindow, RecordedShortcutWorksAtOnceAndAClearedOneIsLetGo) {
    ASSERT_TRUE(openTab(1));
    ASSERT_TRUE(recordInto(0));
    ASSERT_TRUE(xdotool({"key", "super+alt+45"}));
    ASSERT_TRUE(test::waitUntil(
        [] { return GlobalShortcuts::getShortcut(Name::captureAndCopy()) == kSuperAltK; }));
    EXPECT_EQ(field(0)->text(), "Super+Alt+K");

    // From another window: the capture overlay comes up.
    QProcess terminal;
    terminal.start("xterm", {"-geometry", "40x5+0+0"});
    ASSERT_TRUE(xdotool({"search", "--sync", "--class", "XTerm", "windowfocus", "--sync"}));
    ASSERT_TRUE(xdotool({"key", "super+alt+45"}));
    ASSERT_TRUE(test::waitUntil(overlayShown, 10000));
    ASSERT_TRUE(xdotool({"key", "Escape"}));
    ASSERT_TRUE(test::waitUntil([] { return !overlayShown(); }));

    // Cleared: the key is ours no more, another client may take it.
    delegate->presentPreferences();
    window = delegate->preferencesWindowController()->window();
    view = window->findChild<PreferencesView*>();
    ASSERT_TRUE(test::waitUntil([&] { return window->isActiveWindow(); }));
    ASSERT_TRUE(openTab(1));
    ASSERT_TRUE(recordInto(0));
    ASSERT_TRUE(xdotool({"key", "BackSpace"}));
    ASSERT_TRUE(
        test::waitUntil([] { return !GlobalShortcuts::getShortcut(Name::captureAndCopy()); }));
    test::ForeignClient other(qEnvironmentVariable("DISPLAY"));
    EXPECT_TRUE(other.grab(45, {kSuperAlt, kSuperAlt | XCB_MOD_MASK_2}));
    terminal.kill();
    terminal.waitForFinished();
}

TEST_F(SettingsWindow, AnAssignedShortcutIsRecordedNotRun) {
    ASSERT_TRUE(openTab(1));
    // Super+Alt+P belongs to "Capture & Copy": our own grab hands it to the recorder.
    ASSERT_TRUE(recordInto(1));
    ASSERT_TRUE(xdotool({"key", "super+alt+33"}));
    ASSERT_TRUE(test::waitUntil([] {
        return GlobalShortcuts::getShortcut(Name::captureAndCopyWindowMode()) ==
               Shortcut(35, 0x900);
    }));
    EXPECT_FALSE(overlayShown());
}

TEST_F(SettingsWindow, LanguagesAreTickedByMouseAndSpace) {
    ASSERT_TRUE(openTab(2));
    auto* list = view->findChild<OCRSettingsView*>()->list();
    // A German reader ticks German and unticks English, by mouse and Space.
    for (const auto& [language, on] :
         {std::pair{"German (Germany)", true}, std::pair{"English (United States)", false}}) {
        const auto found = list->findItems(language, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << language << ": tesseract-ocr-deu must be installed";
        ASSERT_TRUE(click(list->viewport(), list->visualItemRect(found[0]).center()));
        ASSERT_TRUE(xdotool({"key", "space"}));
        ASSERT_TRUE(test::waitUntil(
            [&] { return found[0]->checkState() == (on ? Qt::Checked : Qt::Unchecked); }));
    }
    PreferenceManager::shared().waitForPendingWrites();
    EXPECT_EQ(PreferenceManager::shared().recognitionLanguages(), QStringList({"de-DE"}));
}

} // namespace

int main(int argc, char** argv) {
    return quorvale::test::runTestsInsideXvfb(argc, argv);
}
