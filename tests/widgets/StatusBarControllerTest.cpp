#include "app/StatusBarController.h"
#include "app/ChoosePhotoWindow.h"
#include "platform/fake/FakePlatform.h"
#include "preferences/PreferenceManager.h"
#include "shared/DragDropStatusItemView.h"
#include "shortcuts/GlobalShortcuts.h"
#include "support/Wait.h"

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

constexpr qint64 kCarbonShift = 0x200;
constexpr qint64 kCarbonControl = 0x1000;
constexpr qint64 kF5 = 96;

class StatusBarControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        GlobalShortcuts::detail::resetForTesting();
        PreferenceManager::setSharedForTesting(
            std::make_shared<PreferenceManager>(platform::current()));
        fakes.mainQueue->runPending();
    }
    void TearDown() override {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (qobject_cast<QFileDialog*>(window) || qobject_cast<ChoosePhotoWindow*>(window)) {
                delete window;
            }
        }
        PreferenceManager::setSharedForTesting(nullptr);
        GlobalShortcuts::detail::resetForTesting();
    }

    std::unique_ptr<StatusBarController> make() {
        StatusBarController::Callbacks callbacks;
        callbacks.onCapture = [this](bool window) { calls.append(window ? "window" : "area"); };
        callbacks.onOpenPreferences = [this] { calls.append("preferences"); };
        callbacks.onOpenSettings = [this] { calls.append("settings"); };
        callbacks.onQuit = [this] { calls.append("quit"); };
        callbacks.onRecognizeImage = [this](const QString& path) { calls.append("file " + path); };
        callbacks.onRecognizeBitmap = [this](const QImage&) { calls.append("bitmap"); };
        return std::make_unique<StatusBarController>(std::move(callbacks));
    }
    static QAction* entry(StatusBarController& controller, const QString& title) {
        for (QAction* action : controller.menu().actions()) {
            if (StatusBarController::title(action) == title) {
                return action;
            }
        }
        return nullptr;
    }
    template <typename T> static T* topLevel() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<T*>(window); found && found->isVisible()) {
                return found;
            }
        }
        return nullptr;
    }

    platform::FakePlatform fakes;
    QStringList calls;
};

TEST_F(StatusBarControllerTest, MenuHasEveryEntryInOrderAndEachReachesItsTarget) {
    auto controller = make();
    QStringList titles;
    for (QAction* action : controller->menu().actions()) {
        titles.append(action->isSeparator() ? "-" : StatusBarController::title(action));
    }
    EXPECT_EQ(titles, QStringList({"Capture Text", "Capture Text in Window Mode",
                                   "Capture Text from File...", "Capture Text from Photos...", "-",
                                   "Launch at Login", "Show Prompts", "Enable Sound", "-",
                                   "Preferences", "-", "Check for Updates...", "Quit"}));
    EXPECT_EQ(fakes.statusBar->lastItem->menu, &controller->menu());
    EXPECT_TRUE(fakes.statusBar->lastItem->visible);

    for (const char* title :
         {"Capture Text", "Capture Text in Window Mode", "Preferences", "Quit"}) {
        entry(*controller, title)->trigger();
    }
    EXPECT_EQ(calls, QStringList({"area", "window", "preferences", "quit"}));

    // With no feed in this build, the updater must say so rather than do nothing.
    entry(*controller, "Check for Updates...")->trigger();
    ASSERT_EQ(fakes.alerts->shown.size(), 1u);
    EXPECT_EQ(fakes.alerts->shown[0].messageText, "Cannot check for updates");

    entry(*controller, "Capture Text from File...")->trigger();
    auto* dialog = topLevel<QFileDialog>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog->nameFilters(), QStringList({"Images (*.png *.jpg *.jpeg *.tiff *.bmp)"}));
    dialog->fileSelected("/tmp/picked.png");
    EXPECT_EQ(calls.last(), "file /tmp/picked.png");
}

TEST_F(StatusBarControllerTest, AcceleratorsFollowTheStoredShortcutsAndAreDisplayOnly) {
    auto controller = make();
    // Built before any opening: a StatusNotifier host may show the menu unannounced.
    EXPECT_EQ(entry(*controller, "Capture Text")->text(), "Capture Text\tSuper+Alt+P");
    EXPECT_EQ(entry(*controller, "Capture Text in Window Mode")->text(),
              "Capture Text in Window Mode\tSuper+Alt+O");
    EXPECT_EQ(entry(*controller, "Capture Text from File...")->text(),
              "Capture Text from File...\tSuper+Alt+I");

    const GlobalShortcuts::Name& file = GlobalShortcuts::Name::captureFromFile();
    const struct {
        std::optional<GlobalShortcuts::Shortcut> shortcut;
        QString expected;
    } cases[] = {
        {GlobalShortcuts::Shortcut(kF5, kCarbonControl | kCarbonShift),
         "Capture Text from File...\tCtrl+Shift+F5"},
        {std::nullopt, "Capture Text from File..."},
        // A key the layout prints nothing for shows no accelerator; the entry still works.
        {GlobalShortcuts::Shortcut(40, kCarbonControl), "Capture Text from File..."},
    };
    for (const auto& c : cases) {
        GlobalShortcuts::setShortcut(c.shortcut, file);
        controller->menu().aboutToShow();
        EXPECT_EQ(entry(*controller, "Capture Text from File...")->text(), c.expected);
    }
    for (QAction* action : controller->menu().actions()) {
        EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
    }
}

TEST_F(StatusBarControllerTest, TogglesFlipTheStoreAndShowItsValuesWhenTheMenuOpens) {
    auto controller = make();
    auto& preferences = PreferenceManager::shared();
    const struct {
        const char* title;
        std::function<bool()> stored;
    } toggles[] = {
        {"Enable Sound", [&] { return preferences.enableSound(); }},
        {"Show Prompts", [&] { return preferences.showPrompts(); }},
        {"Launch at Login", [&] { return preferences.launchAtLogin(); }},
    };
    for (const auto& toggle : toggles) {
        SCOPED_TRACE(toggle.title);
        QAction* action = entry(*controller, toggle.title);
        const bool before = toggle.stored();
        for (bool expected : {!before, before}) {
            action->trigger();
            preferences.waitForPendingWrites();
            fakes.mainQueue->runPending();
            EXPECT_EQ(toggle.stored(), expected);
            controller->menu().aboutToShow();
            EXPECT_EQ(action->isChecked(), expected);
        }
    }
    // The check mark follows the autostart entry itself, changed behind the app's back.
    fakes.loginItem->currentStatus = platform::LoginItemService::enabled;
    controller->menu().aboutToShow();
    EXPECT_TRUE(entry(*controller, "Launch at Login")->isChecked());
}

TEST_F(StatusBarControllerTest, IconFollowsThePreferenceAndAnUnknownNameShowsALetter) {
    auto controller = make();
    auto* item = fakes.statusBar->lastItem;
    const QImage symbol = item->icon.pixmap(22).toImage();
    PreferenceManager::shared().setStatusBarIconName("no.such.symbol");
    PreferenceManager::shared().waitForPendingWrites();
    fakes.mainQueue->runPending();
    const QImage letter = item->icon.pixmap(22).toImage();
    EXPECT_NE(letter, symbol);
    PreferenceManager::shared().setStatusBarIconName("text.viewfinder");
    PreferenceManager::shared().waitForPendingWrites();
    fakes.mainQueue->runPending();
    EXPECT_EQ(item->icon.pixmap(22).toImage(), symbol);
}

TEST_F(StatusBarControllerTest, DropViewCoversTheIconOnlyWhereTheAppDrawsIt) {
    auto controller = make();
    QWidget* button = fakes.statusBar->lastItem->button();
    ASSERT_NE(controller->dropView(), nullptr);
    button->show(); // a hidden widget hears of its resize only when shown
    button->resize(30, 26);
    EXPECT_EQ(controller->dropView()->geometry(), QRect(0, 0, 30, 26));
    controller->dropView()->onFileDropped(QUrl::fromLocalFile("/tmp/dropped.png"));
    EXPECT_EQ(calls.last(), "file /tmp/dropped.png");

    fakes.statusBar->withButton = false; // a StatusNotifier host
    auto hosted = make();
    EXPECT_EQ(hosted->dropView(), nullptr);
}

TEST_F(StatusBarControllerTest, EachPhotoWindowFinishesOnlyItself) {
    auto controller = make();
    controller->menu().actions()[3]->trigger();
    QPointer<ChoosePhotoWindow> first = controller->photosPickerWindow();
    controller->showPhotosPicker();
    QPointer<ChoosePhotoWindow> second = controller->photosPickerWindow();
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_TRUE(first->isVisible() && second->isVisible()) << "both stay open";

    first->close(); // the user closes the older window
    EXPECT_TRUE(test::waitUntil([&] { return first.isNull(); }));
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(controller->photosPickerWindow(), second);

    second->finish(QString(QUORVALE_SOURCE_DIR) + "/resources/no-such-photo.png");
    EXPECT_TRUE(test::waitUntil([&] { return second.isNull(); }));
    EXPECT_EQ(controller->photosPickerWindow(), nullptr);

    QTemporaryDir folder;
    QImage photo(40, 30, QImage::Format_RGB32);
    photo.fill(Qt::white);
    ASSERT_TRUE(photo.save(folder.filePath("photo.png")));
    controller->showPhotosPicker();
    controller->photosPickerWindow()->finish(folder.filePath("photo.png"));
    EXPECT_TRUE(test::waitUntil([&] {
        fakes.mainQueue->runPending();
        return calls.contains("bitmap");
    }));
    EXPECT_EQ(calls.count("bitmap"), 1) << "an unreadable photo ends silently";
}

} // namespace
