#include "app/AppDelegate.h"
#include "app/UserNotice.h"
#include "platform/fake/FakePlatform.h"
#include "preferences/PreferenceManager.h"
#include "shared/ToastWindowController.h"
#include "support/FakeScreenshotService.h"
#include "support/Wait.h"

#include <QTemporaryFile>
#include <gtest/gtest.h>

using namespace quorvale;
using Outcome = AppDelegate::CaptureResult;

namespace {

class AppDelegateTest : public ::testing::Test {
protected:
    void SetUp() override {
        PreferenceManager::setSharedForTesting(
            std::make_shared<PreferenceManager>(platform::current()));
        fakes.mainQueue->runPending();
    }
    void TearDown() override {
        ToastWindowController::closeAll();
        PreferenceManager::setSharedForTesting(nullptr);
    }

    PreferenceManager& preferences() { return PreferenceManager::shared(); }
    void set(const QString& key, const QVariant& value) { fakes.defaults->setObject(value, key); }

    // Serves the fake GUI queue and the real event loop until the predicate holds.
    bool pumpUntil(const std::function<bool()>& predicate) {
        return test::waitUntil([&] {
            fakes.mainQueue->runPending();
            return predicate();
        });
    }

    platform::FakePlatform fakes;
    std::shared_ptr<test::FakeScreenshotService> screenshots =
        std::make_shared<test::FakeScreenshotService>();
    AppDelegate delegate{
        std::make_shared<CaptureService>(screenshots, std::make_shared<OCRService>())};
};

TEST_F(AppDelegateTest, PermissionGateAnswersAndAlertsAsTheStateSays) {
    const struct {
        const char* name;
        bool granted, alreadyChecked, modalWindowOpen, expectedAnswer, expectedFlagAfter;
        std::size_t expectedAlerts;
    } cases[] = {
        {"granted", true, false, false, true, false, 0},
        {"first refusal sets the flag silently", false, false, false, false, true, 0},
        {"no alert over a modal window", false, true, true, false, true, 0},
        {"second refusal alerts", false, true, false, false, true, 1},
    };
    fakes.alerts->response = platform::ModalAlerts::kFirstButtonResponse;
    for (const auto& c : cases) {
        fakes.alerts->shown.clear();
        fakes.screenCapturePermission->granted = c.granted;
        fakes.alerts->modalWindowOpen = c.modalWindowOpen;
        set(PreferenceManager::kHasCheckedScreenRecordingPermissionKey, c.alreadyChecked);

        EXPECT_EQ(delegate.ensureScreenRecordingPermission(), c.expectedAnswer) << c.name;
        EXPECT_TRUE(fakes.alerts->shown.empty()) << c.name << ": never synchronously";
        fakes.mainQueue->runPending();
        preferences().waitForPendingWrites();
        EXPECT_EQ(
            fakes.defaults->boolForKey(PreferenceManager::kHasCheckedScreenRecordingPermissionKey),
            c.expectedFlagAfter)
            << c.name;
        ASSERT_EQ(fakes.alerts->shown.size(), c.expectedAlerts) << c.name;
    }
    const auto& alert = fakes.alerts->shown.front();
    EXPECT_EQ(alert.messageText, "Screen Recording Permission Required");
    EXPECT_EQ(alert.buttons, QStringList({"Open Settings", "Cancel"}));
    // Only the alert that was shown opens the permission page, through its first button.
    EXPECT_EQ(fakes.urlOpener->opened, QList<QUrl>{*fakes.screenCapturePermission->url});
}

TEST_F(AppDelegateTest, TheShortcutsNoticeComesOncePerReason) {
    const QString key = "ShortcutsUnavailableNoticeReason";
    const QString reason =
        fakes.hotKeys->describeStatus(platform::GlobalHotKeys::kHotKeysUnavailable);
    const struct {
        const char* name;
        QString storedBefore;
        bool shown;
    } cases[] = {
        {"first start", {}, true},
        {"next start", reason, false},
        {"another reason", "an earlier reason", true},
    };
    for (const auto& c : cases) {
        if (!c.storedBefore.isEmpty()) {
            set(key, c.storedBefore);
        }
        const std::size_t before = fakes.mainQueue->pendingCount();
        showShortcutsUnavailableNotice();
        EXPECT_EQ(fakes.mainQueue->pendingCount() - before, c.shown ? 1u : 0u) << c.name;
        preferences().waitForPendingWrites();
        EXPECT_EQ(fakes.defaults->stringForKey(key), reason) << c.name;
    }
}

TEST_F(AppDelegateTest, RefusedPermissionStartsNoCapture) {
    fakes.screenCapturePermission->granted = false;
    delegate.startCapture(false);
    EXPECT_TRUE(screenshots->requests.empty());
}

TEST_F(AppDelegateTest, SuccessReplacesTheClipboardWithFeedbackByThePreferences) {
    const struct {
        bool sound, prompts;
        QVariant soundName;
        QStringList expectedPlayed, expectedToasts;
    } cases[] = {
        {true, true, QStringLiteral("Glass"), {"Glass"}, {"Copy Text Succeed"}},
        {true, false, QStringLiteral("Funk"), {"Funk"}, {}},
        {false, true, QStringLiteral("Funk"), {}, {"Copy Text Succeed"}},
        {true, true, QStringLiteral("NoSuchSound"), {}, {"Copy Text Succeed"}},
        {true, true, QStringList({"Funk"}), {"Tink"}, {"Copy Text Succeed"}},
    };
    for (const auto& c : cases) {
        set(PreferenceManager::kEnableSoundKey, c.sound);
        set(PreferenceManager::kShowPromptsKey, c.prompts);
        set(PreferenceManager::kSoundNameKey, c.soundName);
        fakes.sounds->played.clear();
        fakes.clipboard->operations.clear();
        delegate.handleCaptureResult(Outcome::success(QStringLiteral("text")));
        const std::string label = c.soundName.toString().toStdString();
        EXPECT_EQ(fakes.clipboard->operations, QStringList({"clear", "setString"})) << label;
        EXPECT_EQ(fakes.clipboard->string(), QStringLiteral("text")) << label;
        EXPECT_EQ(fakes.sounds->played, c.expectedPlayed) << label;
        EXPECT_EQ(ToastWindowController::visibleToastMessages(), c.expectedToasts) << label;
        fakes.mainQueue->advance(3.0);
    }
}

TEST_F(AppDelegateTest, CancelAndFailureLeaveTheClipboardAloneAndToastOnlyWithPrompts) {
    for (const bool prompts : {true, false}) {
        set(PreferenceManager::kShowPromptsKey, prompts);
        const auto toast = [&](const char* text) {
            return prompts ? QStringList{text} : QStringList{};
        };
        delegate.handleCaptureResult(Outcome::failure(CaptureError::captureCancelled()));
        EXPECT_EQ(ToastWindowController::visibleToastMessages(), toast("Copy Text Cancelled"));
        fakes.mainQueue->advance(3.0);

        delegate.handleCaptureResult(Outcome::failure(CaptureError::imageLoadFailed()));
        EXPECT_TRUE(ToastWindowController::visibleToastMessages().isEmpty())
            << "failure feedback is posted, not shown inline";
        fakes.mainQueue->runPending();
        EXPECT_EQ(ToastWindowController::visibleToastMessages(),
                  toast("Copy Text Failed, Failed to load image"));
        fakes.mainQueue->advance(3.0);
    }
    EXPECT_TRUE(fakes.clipboard->operations.isEmpty());
    EXPECT_TRUE(fakes.sounds->requested.isEmpty());
}

TEST_F(AppDelegateTest, UnreadableFileEndsInLoadFailureOnTheGuiThread) {
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write("this is not an image");
    file.close();
    std::optional<Outcome> delivered;
    fakes.clipboard->setString(QStringLiteral("earlier"));
    fakes.clipboard->operations.clear();

    delegate.recognizeImageFile(file.fileName(), [&](const Outcome& r) { delivered = r; });
    ASSERT_TRUE(pumpUntil([&] { return delivered.has_value(); }));
    fakes.mainQueue->runPending();
    EXPECT_EQ(delivered->error().kind(), CaptureError::Kind::imageLoadFailed);
    EXPECT_EQ(delivered->error().reason(), "not an image in a supported format");
    EXPECT_EQ(fakes.clipboard->string(), QStringLiteral("earlier"));
    EXPECT_TRUE(fakes.clipboard->operations.isEmpty());
    EXPECT_EQ(ToastWindowController::visibleToastMessages(),
              QStringList({"Copy Text Failed, Failed to load image"}));
}

TEST_F(AppDelegateTest, RecognisedBitmapIsDeliveredOnTheGuiThread) {
    fakes.textRecognizer->outcome = platform::FakeTextRecognizer::lines({QStringLiteral("hi")});
    bool delivered = false;
    delegate.recognizeBitmap(QImage(8, 8, QImage::Format_RGB32), [&](const Outcome&) {
        EXPECT_TRUE(fakes.mainQueue->isMainThread());
        delivered = true;
    });
    ASSERT_TRUE(pumpUntil([&] { return delivered; }));
    EXPECT_EQ(fakes.clipboard->string(), QStringLiteral("hi"));
}

TEST_F(AppDelegateTest, NullBitmapIsAConversionFailure) {
    std::optional<Outcome> delivered;
    delegate.recognizeBitmap(QImage(), [&](const Outcome& r) { delivered = r; });
    ASSERT_TRUE(delivered);
    EXPECT_EQ(delivered->error().localizedDescription(), "Failed to convert image");
}

TEST_F(AppDelegateTest, ReopenShowsPreferencesWithTheDockIconOrWithoutATrayIcon) {
    const struct {
        bool dockIcon, trayShown, expectPreferences;
    } cases[] = {{false, true, false}, {true, true, true}, {false, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dockIcon << c.trayShown);
        set(PreferenceManager::kShowDockIconKey, false);
        fakes.statusBar->trayPresent = c.trayShown;
        AppDelegate launched{
            std::make_shared<CaptureService>(screenshots, std::make_shared<OCRService>())};
        launched.applicationDidFinishLaunching();
        set(PreferenceManager::kShowDockIconKey, c.dockIcon);
        EXPECT_EQ(launched.applicationShouldHandleReopen(false), !c.expectPreferences);
        EXPECT_EQ(launched.preferencesWindowController() != nullptr, c.expectPreferences);
    }
}

TEST_F(AppDelegateTest, ClosingPreferencesReleasesTheControllerAndCaptureClosesIt) {
    delegate.presentPreferences();
    QPointer<PreferencesWindowController> first = delegate.preferencesWindowController();
    delegate.startCapture(false);
    EXPECT_EQ(screenshots->requests.size(), 1u);
    EXPECT_EQ(delegate.preferencesWindowController(), nullptr);
    ASSERT_TRUE(test::waitUntil([&] { return first.isNull(); })) << "old controller released";

    delegate.presentPreferences();
    EXPECT_NE(delegate.preferencesWindowController(), nullptr);
}

} // namespace
