#include "preferences/PreferencesWindowController.h"
#include "platform/fake/FakePlatform.h"
#include "preferences/PreferencesView.h"
#include "shared/NotificationCenter.h"

#include <QScreen>
#include <QVariant>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

class PreferencesWindowControllerTest : public ::testing::Test {
protected:
    void post(const QVariantMap& userInfo) {
        NotificationCenter::defaultCenter().post(PreferencesView::kContentSizeDidChange, userInfo);
    }
    platform::FakePlatform fakes;
};

TEST_F(PreferencesWindowControllerTest, ShowsTitledWindowThatGrowsToTheAnnouncedSize) {
    PreferencesWindowController controller;
    QWidget* window = controller.window();
    EXPECT_EQ(window->windowTitle(), "Preferences");
    EXPECT_EQ(window->size(), QSize(500, 520));
    EXPECT_EQ(window->minimumSize(), QSize(500, 520));

    controller.showPreferences();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->size(), QSize(650, 650)) << "the root view announces its size when shown";
    const QRect screen = window->screen()->availableGeometry();
    const QPoint offset = window->frameGeometry().center() - screen.center();
    EXPECT_LE(offset.manhattanLength(), 4) << "centred, up to the window frame";

    window->resize(100, 100);
    EXPECT_EQ(window->size(), QSize(500, 520)) << "never below the minimum";
}

TEST_F(PreferencesWindowControllerTest, MalformedSizeNotificationsAreIgnored) {
    PreferencesWindowController controller;
    const QSize before = controller.window()->size();
    post({});
    post({{"width", 900}});
    post({{PreferencesView::kSizeKey, QStringLiteral("900x900")}});
    EXPECT_EQ(controller.window()->size(), before);
    post({{PreferencesView::kSizeKey, QVariant::fromValue(QSize(700, 600))}});
    EXPECT_EQ(controller.window()->size(), QSize(700, 600));
}

TEST_F(PreferencesWindowControllerTest, ClosingRunsOnCloseOnceAndADeadControllerHearsNothing) {
    int closes = 0;
    {
        PreferencesWindowController controller;
        controller.onClose = [&] { ++closes; };
        controller.showPreferences();
        controller.close();
        controller.close();
    }
    EXPECT_EQ(closes, 1);
    post({{PreferencesView::kSizeKey, QVariant::fromValue(QSize(700, 600))}});
}

TEST_F(PreferencesWindowControllerTest, ShowingAgainRestoresAMinimizedWindow) {
    PreferencesWindowController controller;
    controller.showPreferences();
    controller.window()->showMinimized();
    controller.showPreferences();
    EXPECT_FALSE(controller.window()->isMinimized());
    EXPECT_TRUE(controller.window()->isVisible());
}

} // namespace
