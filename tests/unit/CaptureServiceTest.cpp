#include "app/CaptureService.h"
#include "platform/fake/FakePlatform.h"
#include "preferences/PreferenceManager.h"
#include "support/FakeScreenshotService.h"
#include "support/Wait.h"

#include <gtest/gtest.h>
#include <mutex>
#include <optional>

using namespace quorvale;

namespace {

struct CleaningCase {
    const char* name;
    QString input;
    QString expected;
};

class CleanRecognizedText : public ::testing::TestWithParam<CleaningCase> {};

TEST_P(CleanRecognizedText, TrimsLinesAndDropsBlankOnes) {
    EXPECT_EQ(CaptureService::cleanRecognizedText(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    LineBreaksAndWhitespace, CleanRecognizedText,
    ::testing::Values(
        CleaningCase{"example", QStringLiteral("  Hello \r\n\r\n\tWorld  \n   "),
                     QStringLiteral("Hello\nWorld")},
        CleaningCase{"every_break_kind",
                     QString::fromUtf16(u"a\nb\x0B" u"c\x0C" u"d\re\x85" u"f\u2028g\u2029h"),
                     QStringLiteral("a\nb\nc\nd\ne\nf\ng\nh")},
        CleaningCase{"inner_spaces_kept", QStringLiteral("  int  x =  1;  "),
                     QStringLiteral("int  x =  1;")},
        CleaningCase{"unicode_spaces_trimmed", QString::fromUtf16(u"\u00A0\u2003word\u3000"),
                     QStringLiteral("word")},
        CleaningCase{"zero_width_space_is_not_whitespace", QString::fromUtf16(u"\u200Bx"),
                     QString::fromUtf16(u"\u200Bx")},
        CleaningCase{"blanks_only", QStringLiteral(" \t\r\n \u2028 "), QString()},
        CleaningCase{"no_trailing_break", QStringLiteral("one\n"), QStringLiteral("one")}),
    [](const auto& info) { return std::string(info.param.name); });

// Collects the single outcome of a request, from whichever thread it arrives on.
struct Outcome {
    std::mutex mutex;
    std::vector<CaptureService::CaptureResult> results;

    CaptureService::Completion completion() {
        return [this](CaptureService::CaptureResult result) {
            std::lock_guard lock(mutex);
            results.push_back(std::move(result));
        };
    }
    std::size_t count() {
        std::lock_guard lock(mutex);
        return results.size();
    }
};

class CaptureServiceFlow : public ::testing::Test {
protected:
    void SetUp() override {
        PreferenceManager::setSharedForTesting(
            std::make_shared<PreferenceManager>(platform::current()));
    }
    void TearDown() override { PreferenceManager::setSharedForTesting(nullptr); }

    platform::FakePlatform fakes;
    std::shared_ptr<test::FakeScreenshotService> screenshots =
        std::make_shared<test::FakeScreenshotService>();
    std::shared_ptr<CaptureService> service =
        std::make_shared<CaptureService>(screenshots, std::make_shared<OCRService>());
    Outcome outcome;
};

TEST_F(CaptureServiceFlow, AsksForWindowModeOnlyWhenRequested) {
    service->captureAndRecognize(false, outcome.completion());
    service->captureAndRecognize(true, outcome.completion());
    ASSERT_EQ(screenshots->requests.size(), 2u);
    EXPECT_EQ(screenshots->requests[0].rawValue, 0);
    EXPECT_EQ(screenshots->requests[1].rawValue, 1);
}

TEST_F(CaptureServiceFlow, MapsScreenshotFailures) {
    service->captureAndRecognize(false, outcome.completion());
    service->captureAndRecognize(false, outcome.completion());
    screenshots->complete(ScreenshotService::CaptureResult::failure(ScreenshotError::userCancelled()));
    screenshots->complete(ScreenshotService::CaptureResult::failure(
        ScreenshotError::captureFailed(QStringLiteral("Invalid source rect"))));
    ASSERT_EQ(outcome.count(), 2u);
    EXPECT_EQ(outcome.results[0].error().kind(), CaptureError::Kind::captureCancelled);
    EXPECT_EQ(outcome.results[0].error().localizedDescription(), "Capture cancelled");
    EXPECT_EQ(outcome.results[1].error().kind(), CaptureError::Kind::screenshotFailed);
    EXPECT_EQ(outcome.results[1].error().localizedDescription(),
              "Capture failed: Invalid source rect");
    EXPECT_TRUE(fakes.textRecognizer->requests.empty());
}

TEST_F(CaptureServiceFlow, RecognisesTheCapturedImageAndCleansTheText) {
    fakes.textRecognizer->outcome =
        platform::FakeTextRecognizer::lines({QStringLiteral("  first "), QString(), QStringLiteral("second\t")});
    service->captureAndRecognize(false, outcome.completion());
    screenshots->complete(ScreenshotService::CaptureResult::success(QImage(40, 20, QImage::Format_RGB32)));
    ASSERT_TRUE(test::waitUntil([&] { return outcome.count() == 1; }));
    ASSERT_TRUE(outcome.results[0].isSuccess());
    EXPECT_EQ(outcome.results[0].value(), "first\nsecond");
    EXPECT_EQ(fakes.textRecognizer->imageSizes.at(0), QSize(40, 20));
}

TEST_F(CaptureServiceFlow, BlankRecognitionIsNoTextFoundNotAnEmptySuccess) {
    fakes.textRecognizer->outcome =
        platform::FakeTextRecognizer::lines({QStringLiteral("   "), QStringLiteral("\t")});
    service->recognize(QImage(10, 10, QImage::Format_RGB32), outcome.completion());
    ASSERT_TRUE(test::waitUntil([&] { return outcome.count() == 1; }));
    ASSERT_FALSE(outcome.results[0].isSuccess());
    EXPECT_EQ(outcome.results[0].error().kind(), CaptureError::Kind::ocrFailed);
    EXPECT_EQ(outcome.results[0].error().localizedDescription(), "No text found in the image.");
}

TEST_F(CaptureServiceFlow, EngineErrorsBecomeOcrFailed) {
    fakes.textRecognizer->outcome = platform::RecognitionOutcome::failure({QStringLiteral("boom")});
    service->recognize(QImage(10, 10, QImage::Format_RGB32), outcome.completion());
    ASSERT_TRUE(test::waitUntil([&] { return outcome.count() == 1; }));
    EXPECT_EQ(outcome.results[0].error().localizedDescription(), "OCR Recognition failed: boom");
}

TEST_F(CaptureServiceFlow, ServiceGoneBeforeTheScreenshotArrivesIsSelfReleased) {
    service->captureAndRecognize(false, outcome.completion());
    service.reset();
    screenshots->complete(ScreenshotService::CaptureResult::success(QImage(4, 4, QImage::Format_RGB32)));
    ASSERT_EQ(outcome.count(), 1u);
    EXPECT_EQ(outcome.results[0].error().localizedDescription(), "Internal error: Object released");
}

TEST_F(CaptureServiceFlow, DroppedSelectionNeverCompletes) {
    service->captureAndRecognize(false, outcome.completion());
    screenshots->pending.clear();
    QCoreApplication::processEvents();
    EXPECT_EQ(outcome.count(), 0u);
}

} // namespace
