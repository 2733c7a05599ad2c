#include "SharedLib/ToastWindowController.h"
#include "app/AppDelegate.h"
#include "platform/fake/FakePlatform.h"
#include "preferences/PreferenceManager.h"
#include "support/FakeScreenshotService.h"
#include "support/Wait.h"

#include <QTemporaryFile>
#include <gtest/gtest.h>

using namespace quorvale;

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

struct GateCase {
    const char* name;
    bool granted;
    bool alreadyChecked;
    bool modalWindowOpen;
    bool expectedAnswer;
    bool expectedFlagAfter;
    std::size_t expectedAlerts;
};

class PermissionGate : public AppDelegateTest, public ::testing::WithParamInterface<GateCase> {};

TEST_P(PermissionGate, AnswersAndAlertsAsTheStateSays) {
    const GateCase& c = GetParam();
    fakes.screenCapturePermission->granted = c.granted;
    fakes.alerts->modalWindowOpen = c.modalWindowOpen;
    set(PreferenceManager::kHasCheckedScreenRecordingPermissionKey, c.alreadyChecked);

    EXPECT_EQ(delegate.ensureScreenRecordingPermission(), c.expectedAnswer);
    EXPECT_TRUE(fakes.alerts->shown.empty()) << "the alert never comes synchronously";
    fakes.mainQueue->runPending();
    preferences().waitForPendingWrites();

    EXPECT_EQ(fakes.defaults->boolForKey(PreferenceManager::kHasCheckedScreenRecordingPermissionKey),
              c.expectedFlagAfter);
    ASSERT_EQ(fakes.alerts->shown.size(), c.expectedAlerts);
    if (c.expectedAlerts) {
        const auto& alert = fakes.alerts->shown.front();
        EXPECT_EQ(alert.messageText, "Screen Recording Permission Required");
        EXPECT_EQ(alert.buttons, QStringList({"Open Settings", "Cancel"}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    States, PermissionGate,
    ::testing::Values(GateCase{"granted", true, false, false, true, false, 0},
                      GateCase{"first_refusal_sets_flag_silently", false, false, false, false,
                               true, 0},
                      GateCase{"second_refusal_alerts", false, true, false, false, true, 1},
                      GateCase{"no_alert_over_a_modal_window", false, true, true, false, true, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppDelegateTest, OpenSettingsButtonOpensThePermissionPage) {
    fakes.screenCapturePermission->granted = false;
    fakes.alerts->response = platform::ModalAlerts::kFirstButtonResponse;
    set(PreferenceManager::kHasCheckedScreenRecordingPermissionKey, true);
    delegate.ensureScreenRecordingPermission();
    fakes.mainQueue->runPending();
    ASSERT_EQ(fakes.urlOpener->opened.size(), 1);
    EXPECT_EQ(fakes.urlOpener->opened.first(), *fakes.screenCapturePermission->url);
}

TEST_F(AppDelegateTest, RefusedPermissionStartsNoCapture) {
    fakes.screenCapturePermission->granted = false;
    delegate.startCapture(false);
    EXPECT_TRUE(screenshots->requests.empty());
}

TEST_F(AppDelegateTest, SuccessReplacesClipboardPlaysSoundAndToasts) {
    set(PreferenceManager::kSoundNameKey, QStringLiteral("Glass"));
    delegate.handleCaptureResult(AppDelegate::CaptureResult::success(QStringLiteral("text")));
    EXPECT_EQ(fakes.clipboard->operations, QStringList({"clear", "setString"}));
    EXPECT_EQ(fakes.clipboard->string(), QStringLiteral("text"));
    EXPECT_EQ(fakes.sounds->played, QStringList({"Glass"}));
    EXPECT_EQ(ToastWindowController::visibleToastMessages(), QStringList({"Copy Text Succeed"}));
}

TEST_F(AppDelegateTest, FeedbackFollowsThePreferences) {
    struct Case {
        bool sound;
        bool prompts;
        QVariant soundName;
        QStringList expectedPlayed;
        QStringList expectedToasts;
    };
    const Case cases[] = {
        {true, false, QStringLiteral("Funk"), {"Funk"}, {}},
        {false, true, QStringLiteral("Funk"), {}, {"Copy Text Succeed"}},
        {true, true, QStringLiteral("NoSuchSound"), {}, {"Copy Text Succeed"}},
        {true, true, QStringList({"Funk"}), {"Tink"}, {"Copy Text Succeed"}},
    };
    for (const Case& c : cases) {
        set(PreferenceManager::kEnableSoundKey, c.sound);
        set(PreferenceManager::kShowPromptsKey, c.prompts);
        set(PreferenceManager::kSoundNameKey, c.soundName);
        fakes.sounds->played.clear();
        delegate.handleCaptureResult(AppDelegate::CaptureResult::success(QStringLiteral("x")));
        EXPECT_EQ(fakes.sounds->played, c.expectedPlayed) << c.soundName.toString().toStdString();
        EXPECT_EQ(ToastWindowController::visibleToastMessages(), c.expectedToasts);
        fakes.mainQueue->advance(3.0);
    }
}

TEST_F(AppDelegateTest, CancelAndFailureLeaveTheClipboardAlone) {
    delegate.handleCaptureResult(AppDelegate::CaptureResult::failure(CaptureError::captureCancelled()));
    EXPECT_EQ(ToastWindowController::visibleToastMessages(), QStringList({"Copy Text Cancelled"}));
    fakes.mainQueue->advance(3.0);

    delegate.handleCaptureResult(AppDelegate::CaptureResult::failure(CaptureError::imageLoadFailed()));
    EXPECT_TRUE(ToastWindowController::visibleToastMessages().isEmpty())
        << "failure feedback is posted, not shown inline";
    fakes.mainQueue->runPending();
    EXPECT_EQ(ToastWindowController::visibleToastMessages(),
              QStringList({"Copy Text Failed, Failed to load image"}));
    EXPECT_TRUE(fakes.clipboard->operations.isEmpty());
    EXPECT_TRUE(fakes.sounds->requested.isEmpty());
}

TEST_F(AppDelegateTest, PromptsOffSilencesFailuresAndCancels) {
    set(PreferenceManager::kShowPromptsKey, false);
    delegate.handleCaptureResult(AppDelegate::CaptureResult::failure(CaptureError::captureCancelled()));
    delegate.handleCaptureResult(AppDelegate::CaptureResult::failure(CaptureError::selfReleased()));
    fakes.mainQueue->runPending();
    EXPECT_TRUE(ToastWindowController::visibleToastMessages().isEmpty());
}

TEST_F(AppDelegateTest, UnreadableFileEndsInLoadFailureOnTheGuiThread) {
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write("this is not an image");
    file.close();
    std::optional<AppDelegate::CaptureResult> delivered;
    fakes.clipboard->setString(QStringLiteral("earlier"));
    fakes.clipboard->operations.clear();

    delegate.recognizeImageFile(file.fileName(),
                                [&](const AppDelegate::CaptureResult& r) { delivered = r; });
    ASSERT_TRUE(pumpUntil([&] { return delivered.has_value(); }));
    fakes.mainQueue->runPending();
    EXPECT_EQ(delivered->error().kind(), CaptureError::Kind::imageLoadFailed);
    EXPECT_EQ(fakes.clipboard->string(), QStringLiteral("earlier"));
    EXPECT_TRUE(fakes.clipboard->operations.isEmpty());
    EXPECT_EQ(ToastWindowController::visibleToastMessages(),
              QStringList({"Copy Text Failed, Failed to load image"}));
}

TEST_F(AppDelegateTest, RecognisedBitmapIsDeliveredOnTheGuiThread) {
    fakes.textRecognizer->outcome = platform::FakeTextRecognizer::lines({QStringLiteral("hi")});
    bool delivered = false;
    delegate.recognizeBitmap(QImage(8, 8, QImage::Format_RGB32),
                             [&](const AppDelegate::CaptureResult&) {
                                 EXPECT_TRUE(fakes.mainQueue->isMainThread());
                                 delivered = true;
                             });
    ASSERT_TRUE(pumpUntil([&] { return delivered; }));
    EXPECT_EQ(fakes.clipboard->string(), QStringLiteral("hi"));
}

TEST_F(AppDelegateTest, NullBitmapIsAConversionFailure) {
    std::optional<AppDelegate::CaptureResult> delivered;
    delegate.recognizeBitmap(QImage(), [&](const AppDelegate::CaptureResult& r) { delivered = r; });
    ASSERT_TRUE(delivered);
    EXPECT_EQ(delivered->error().localizedDescription(), "Failed to convert image");
}

TEST_F(AppDelegateTest, ReopenShowsPreferencesOnlyWithTheDockIcon) {
    set(PreferenceManager::kShowDockIconKey, false);
    EXPECT_TRUE(delegate.applicationShouldHandleReopen(false));
    EXPECT_EQ(delegate.preferencesWindowController(), nullptr);

    set(PreferenceManager::kShowDockIconKey, true);
    EXPECT_FALSE(delegate.applicationShouldHandleReopen(false));
    ASSERT_NE(delegate.preferencesWindowController(), nullptr);
    EXPECT_TRUE(delegate.preferencesWindowController()->window()->isVisible());
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
