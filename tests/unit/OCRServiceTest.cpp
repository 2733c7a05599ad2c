#include "recognition/OCRService.h"

#include "platform/fake/FakePlatform.h"
#include "preferences/PreferenceManager.h"
#include "support/Wait.h"

#include <QThreadPool>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <ostream>
#include <thread>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quorvale {
namespace {

using platform::EngineOutcome;
using platform::FakeTextRecognizer;
using OCRResult = OCRService::OCRResult;

const QString kLanguagesKey = PreferenceManager::kRecognitionLanguagesKey;

// Fakes and a preference store of its own, with a language list stored or not.
struct Installation {
    explicit Installation(const std::optional<QStringList>& stored = std::nullopt) {
        PreferenceManager::setSharedForTesting(
            std::make_shared<PreferenceManager>(platform::current()));
        if (stored) {
            fakes.defaults->setObject(*stored, kLanguagesKey);
        }
    }
    ~Installation() {
        QThreadPool::globalInstance()->waitForDone();
        PreferenceManager::setSharedForTesting(nullptr);
    }
    platform::FakePlatform fakes;
};

// One recognition through the service, waited for.
OCRResult recognize(std::optional<QStringList> languages = std::nullopt) {
    std::mutex mutex;
    std::optional<OCRResult> result;
    auto completion = [&](OCRResult r) {
        std::lock_guard lock(mutex);
        result = std::move(r);
    };
    const QImage image(32, 16, QImage::Format_RGB32);
    const OCRService service;
    if (languages) {
        service.recognizeText(image, *languages, completion);
    } else {
        service.recognizeText(image, completion);
    }
    EXPECT_TRUE(test::waitUntil([&] {
        std::lock_guard lock(mutex);
        return result.has_value();
    }));
    QThreadPool::globalInstance()->waitForDone();
    return result.value_or(OCRResult::failure(OCRService::OCRError::noTextFound()));
}

bool operator==(const platform::TextRecognitionRequest& a,
                const platform::TextRecognitionRequest& b) {
    return a.recognitionLevel == b.recognitionLevel &&
           a.usesLanguageCorrection == b.usesLanguageCorrection &&
           a.recognitionLanguages == b.recognitionLanguages &&
           a.automaticallyDetectsLanguage == b.automaticallyDetectsLanguage;
}

// A warm-up is only worth its memory if it loads the engine recognition then asks for.
TEST(OCRServiceTest, RequestIsBuiltFromTheStoredLanguagesAndWarmedUpAlike) {
    struct Case {
        const char* name;
        std::optional<QStringList> stored;
        std::optional<QStringList> explicitLanguages;
        QStringList expected;
    };
    const std::vector<Case> cases = {
        {"nothing stored", std::nullopt, std::nullopt, {"en-US"}},
        {"empty list stored", QStringList{}, std::nullopt, {}},
        {"two codes", QStringList{"de-DE", "en-US"}, std::nullopt, {"de-DE", "en-US"}},
        {"explicit list", QStringList{"de-DE"}, QStringList{"fr-FR", "es-ES"}, {"fr-FR", "es-ES"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Installation installation(c.stored);
        auto& engine = *installation.fakes.textRecognizer;
        const OCRService service;
        c.explicitLanguages ? service.warmUp(*c.explicitLanguages) : service.warmUp();
        recognize(c.explicitLanguages);

        ASSERT_EQ(engine.requests.size(), 1u);
        ASSERT_EQ(engine.warmedUp.size(), 1u);
        EXPECT_TRUE(engine.warmedUp.front() == engine.requests.front());
        const auto& request = engine.requests.front();
        EXPECT_EQ(request.recognitionLanguages, c.expected);
        EXPECT_EQ(request.recognitionLevel, platform::RecognitionLevel::accurate);
        EXPECT_TRUE(request.usesLanguageCorrection);
        EXPECT_TRUE(request.automaticallyDetectsLanguage);
    }
}

TEST(OCRServiceTest, OutcomeIsTheEngineLinesInItsOrder) {
    struct Case {
        const char* name;
        EngineOutcome outcome;
        std::optional<QString> text;
        QString error = {}; // description when there is no text
    };
    const QString none = "No text found in the image.";
    const std::vector<Case> cases = {
        {"two lines", FakeTextRecognizer::lines({"Hello", "World"}), "Hello\nWorld"},
        {"empty lines skipped", FakeTextRecognizer::lines({"", "A", "", "B"}), "A\nB"},
        {"no lines", FakeTextRecognizer::lines({}), std::nullopt, none},
        {"only an empty line", FakeTextRecognizer::lines({""}), std::nullopt, none},
        {"engine error", EngineOutcome::failure({"No recognition data for German"}), std::nullopt,
         "OCR Recognition failed: No recognition data for German"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Installation installation;
        installation.fakes.textRecognizer->outcome = c.outcome;
        const OCRResult result = recognize();
        if (c.text) {
            ASSERT_TRUE(result.isSuccess());
            EXPECT_EQ(result.value(), *c.text);
        } else {
            ASSERT_FALSE(result.isSuccess());
            EXPECT_EQ(result.error().localizedDescription(), c.error);
            EXPECT_EQ(result.error().kind(), c.outcome.isSuccess()
                                                 ? OCRService::OCRError::Kind::noTextFound
                                                 : OCRService::OCRError::Kind::recognitionFailed);
        }
    }
}

TEST(OCRServiceTest, CompletionRunsOnceOffTheGuiThreadAfterTheCallReturns) {
    Installation installation;
    installation.fakes.textRecognizer->outcome = platform::FakeTextRecognizer::lines({"text"});
    const auto guiThread = std::this_thread::get_id();
    constexpr int kCalls = 40;
    std::vector<std::atomic<int>> completions(kCalls);
    std::atomic<int> early = 0;
    std::atomic<int> onGuiThread = 0;
    const OCRService service;
    for (int i = 0; i < kCalls; ++i) {
        auto returned = std::make_shared<std::atomic<bool>>(false);
        service.recognizeText(QImage(4, 4, QImage::Format_RGB32), [&, i, returned](OCRResult) {
            early += returned->load() ? 0 : 1;
            onGuiThread += std::this_thread::get_id() == guiThread ? 1 : 0;
            ++completions[i];
        });
        *returned = true;
    }
    QThreadPool::globalInstance()->waitForDone();
    for (int i = 0; i < kCalls; ++i) {
        EXPECT_EQ(completions[i].load(), 1) << "call " << i;
    }
    EXPECT_EQ(early.load(), 0);
    EXPECT_EQ(onGuiThread.load(), 0);
}

TEST(OCRServiceTest, SupportedLanguagesAreTheEngineCodesWithEnglishNames) {
    Installation installation;
    auto& engine = *installation.fakes.textRecognizer;
    engine.languages = QStringList{"en-US", "de-DE", "zz", "zh-Hans", "", "fr-FR", "en-US"};
    const std::vector<OCRService::LanguageInfo> expected = {
        {"en-US", "English (United States)"}, {"de-DE", "German (Germany)"},
        {"zh-Hans", "Chinese (Simplified)"},  {"fr-FR", "French (France)"},
        {"en-US", "English (United States)"},
    };
    EXPECT_EQ(OCRService::supportedLanguages(), expected);

    engine.languages = std::nullopt;
    EXPECT_TRUE(OCRService::supportedLanguages().empty());
}

TEST(OCRServiceTest, CheckboxesReadAndWriteTheWholeStoredList) {
    struct Case {
        const char* name;
        std::optional<QStringList> stored;
        QString code;
        bool wasSelected;
        bool on;
        QStringList written;
    };
    const std::vector<Case> cases = {
        {"fresh, tick another", std::nullopt, "de-DE", false, true, {"en-US", "de-DE"}},
        {"fresh, untick the default", std::nullopt, "en-US", true, false, {}},
        {"empty list", QStringList{}, "en-US", false, true, {"en-US"}},
        {"tick what is ticked",
         QStringList{"en-US", "fr-FR"},
         "en-US",
         true,
         true,
         {"en-US", "fr-FR"}},
        {"untick what is not", QStringList{"fr-FR"}, "de-DE", false, false, {"fr-FR"}},
        {"stored twice", QStringList{"de-DE", "en-US", "de-DE"}, "de-DE", true, false, {"en-US"}},
        {"codes the engine lacks stay",
         QStringList{"zz-ZZ", "en-US"},
         "en-US",
         true,
         false,
         {"zz-ZZ"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Installation installation(c.stored);
        auto& defaults = *installation.fakes.defaults;
        EXPECT_EQ(OCRService::isSelected(c.code), c.wasSelected);
        const int writesBefore = defaults.writeCount;

        OCRService::setSelected(c.code, c.on);
        PreferenceManager::shared().waitForPendingWrites();

        EXPECT_EQ(defaults.writeCount, writesBefore + 1);
        const QVariant written = defaults.stored().value(kLanguagesKey);
        EXPECT_EQ(written.typeId(), QMetaType::QStringList);
        EXPECT_EQ(written.toStringList(), c.written);
        EXPECT_EQ(OCRService::isSelected(c.code), c.on);
        // Empty stays empty rather than falling back to English.
        EXPECT_EQ(PreferenceManager::shared().recognitionLanguages(), c.written);
    }
}

} // namespace
} // namespace quorvale
