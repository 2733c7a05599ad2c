#include "app/CaptureService.h"
#include "platform/fake/FakePlatform.h"
#include "preferences/PreferenceManager.h"
#include "recognition/ScreenTextPreparation.h"
#include "support/FakeScreenshotService.h"
#include "support/Wait.h"

#include <gtest/gtest.h>
#include <mutex>
#include <optional>

using namespace quorvale;
using Shot = ScreenshotService::CaptureResult;

namespace {

TEST(CleanRecognizedText, TrimsLinesAndDropsBlankOnes) {
    const std::pair<QString, QString> cases[] = {
        {"  Hello \r\n\r\n\tWorld  \n   ", "Hello\nWorld"},
        {QString::fromUtf16(u"a\nb\x0B"
                            u"c\x0C"
                            u"d\re\x85"
                            u"f\u2028g\u2029h"),
         "a\nb\nc\nd\ne\nf\ng\nh"},
        {"  int  x =  1;  ", "int  x =  1;"},
        {QString::fromUtf16(u"\u00A0\u2003word\u3000"), "word"},
        // A zero-width space is not whitespace.
        {QString::fromUtf16(u"\u200Bx"), QString::fromUtf16(u"\u200Bx")},
        {" \t\r\n \u2028 ", ""},
        {"one\n", "one"},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(CaptureService::cleanRecognizedText(input), expected) << input.toStdString();
    }
}

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

TEST_F(CaptureServiceFlow, AsksForWindowModeOnlyWhenRequestedAndMapsScreenshotFailures) {
    service->captureAndRecognize(false, outcome.completion());
    service->captureAndRecognize(true, outcome.completion());
    ASSERT_EQ(screenshots->requests.size(), 2u);
    EXPECT_EQ(screenshots->requests[0].rawValue, 0);
    EXPECT_EQ(screenshots->requests[1].rawValue, 1);

    screenshots->complete(Shot::failure(ScreenshotError::userCancelled()));
    screenshots->complete(Shot::failure(ScreenshotError::captureFailed("Invalid source rect")));
    ASSERT_EQ(outcome.count(), 2u);
    EXPECT_EQ(outcome.results[0].error().kind(), CaptureError::Kind::captureCancelled);
    EXPECT_EQ(outcome.results[0].error().localizedDescription(), "Capture cancelled");
    EXPECT_EQ(outcome.results[1].error().kind(), CaptureError::Kind::screenshotFailed);
    EXPECT_EQ(outcome.results[1].error().localizedDescription(),
              "Capture failed: Invalid source rect");
    EXPECT_TRUE(fakes.textRecognizer->requests.empty());
}

TEST_F(CaptureServiceFlow, RecognisesTheCapturedImageAndCleansTheText) {
    fakes.textRecognizer->outcome = platform::FakeTextRecognizer::lines(
        {QStringLiteral("  first "), QString(), QStringLiteral("second\t")});
    service->captureAndRecognize(false, outcome.completion());
    screenshots->complete(Shot::success(QImage(40, 20, QImage::Format_RGB32)));
    ASSERT_TRUE(test::waitUntil([&] { return outcome.count() == 1; }));
    ASSERT_TRUE(outcome.results[0].isSuccess());
    EXPECT_EQ(outcome.results[0].value(), "first\nsecond");
    EXPECT_EQ(fakes.textRecognizer->pageSizes.at(0),
              ScreenTextPreparation::prepare(QImage(40, 20, QImage::Format_RGB32)).image.size());
}

TEST_F(CaptureServiceFlow, BlankRecognitionAndEngineErrorsAreOcrFailures) {
    // Blank text is "no text found", not an empty success.
    const std::pair<platform::EngineOutcome, QString> cases[] = {
        {platform::FakeTextRecognizer::lines({QStringLiteral("   "), QStringLiteral("\t")}),
         "No text found in the image."},
        {platform::EngineOutcome::failure({QStringLiteral("boom")}),
         "OCR Recognition failed: boom"},
    };
    for (const auto& [recognized, description] : cases) {
        fakes.textRecognizer->outcome = recognized;
        const std::size_t before = outcome.count();
        service->recognize(QImage(10, 10, QImage::Format_RGB32), outcome.completion());
        ASSERT_TRUE(test::waitUntil([&] { return outcome.count() == before + 1; }));
        EXPECT_EQ(outcome.results.back().error().kind(), CaptureError::Kind::ocrFailed);
        EXPECT_EQ(outcome.results.back().error().localizedDescription(), description);
    }
}

TEST_F(CaptureServiceFlow, ServiceGoneBeforeTheScreenshotArrivesIsSelfReleased) {
    service->captureAndRecognize(false, outcome.completion());
    service.reset();
    screenshots->complete(Shot::success(QImage(4, 4, QImage::Format_RGB32)));
    ASSERT_EQ(outcome.count(), 1u);
    EXPECT_EQ(outcome.results[0].error().localizedDescription(), "Internal error: Object released");
}

} // namespace
