#include "recognition/OCRService.h"

#include "platform/LanguageTable.h"
#include "preferences/PreferenceManager.h"
#include "recognition/ScreenTextPipeline.h"

#include <QCoreApplication>
#include <QThreadPool>
#include <latch>
#include <memory>

namespace quorvale {
namespace {

platform::TextRecognitionRequest makeRequest(const QStringList& languages) {
    platform::TextRecognitionRequest request;
    request.recognitionLevel = platform::RecognitionLevel::accurate;
    request.usesLanguageCorrection = true;
    if (!languages.isEmpty()) {
        request.recognitionLanguages = languages;
    }
    request.automaticallyDetectsLanguage = true;
    return request;
}

OCRService::OCRResult assemble(const ScreenTextPipeline::Outcome& outcome) {
    if (!outcome.isSuccess()) {
        return OCRService::OCRResult::failure(
            OCRService::OCRError::recognitionFailed(outcome.error()));
    }
    QStringList lines;
    for (const auto& line : outcome.value()) {
        lines << line.text;
    }
    const QString text = lines.join(QLatin1Char('\n'));
    if (text.isEmpty()) {
        return OCRService::OCRResult::failure(OCRService::OCRError::noTextFound());
    }
    return OCRService::OCRResult::success(text);
}

void submit(const QImage& image, platform::TextRecognitionRequest request,
            OCRService::Completion completion) {
    std::shared_ptr<platform::TextRecognizer> recognizer = platform::current().textRecognizer;
    // The job may start at once on another core; its completion still waits for this call
    // to return, as callers are promised.
    auto returned = std::make_shared<std::latch>(1);
    QThreadPool::globalInstance()->start([recognizer, request = std::move(request), image,
                                          completion = std::move(completion), returned] {
        const ScreenTextPipeline::Outcome outcome =
            recognizer ? ScreenTextPipeline::read(*recognizer, request, image)
                       : ScreenTextPipeline::Outcome::failure({QCoreApplication::translate(
                             "OCRService", "No text recognition engine is available")});
        OCRService::OCRResult result = assemble(outcome);
        returned->wait();
        completion(std::move(result));
    });
    returned->count_down();
}

} // namespace

OCRService::OCRError
OCRService::OCRError::recognitionFailed(platform::RecognitionEngineError engineError) {
    OCRError error;
    error.m_kind = Kind::recognitionFailed;
    error.m_engineError = std::move(engineError);
    return error;
}

OCRService::OCRError OCRService::OCRError::noTextFound() {
    return OCRError();
}

QString OCRService::OCRError::localizedDescription() const {
    switch (m_kind) {
    case Kind::recognitionFailed:
        return QStringLiteral("OCR Recognition failed: ") + m_engineError.localizedDescription;
    case Kind::noTextFound:
        break;
    }
    return QCoreApplication::translate("OCRService", "No text found in the image.");
}

void OCRService::recognizeText(const QImage& image, Completion completion) const {
    submit(image, makeRequest(PreferenceManager::shared().recognitionLanguages()),
           std::move(completion));
}

void OCRService::recognizeText(const QImage& image, const QStringList& languages,
                               Completion completion) const {
    submit(image, makeRequest(languages), std::move(completion));
}

void OCRService::warmUp() const {
    warmUp(PreferenceManager::shared().recognitionLanguages());
}

void OCRService::warmUp(const QStringList& languages) const {
    if (const auto recognizer = platform::current().textRecognizer) {
        recognizer->warmUp(makeRequest(languages));
    }
}

std::vector<OCRService::LanguageInfo> OCRService::supportedLanguages() {
    std::vector<LanguageInfo> languages;
    const auto recognizer = platform::current().textRecognizer;
    if (!recognizer) {
        return languages;
    }
    const std::optional<QStringList> codes = recognizer->supportedRecognitionLanguages();
    if (!codes) {
        return languages;
    }
    for (const QString& code : *codes) {
        if (const auto name = LanguageTable::englishName(code)) {
            languages.push_back({code, *name});
        }
    }
    return languages;
}

bool OCRService::isSelected(const QString& code) {
    return PreferenceManager::shared().recognitionLanguages().contains(code);
}

void OCRService::setSelected(const QString& code, bool on) {
    QStringList selection = PreferenceManager::shared().recognitionLanguages();
    if (on) {
        if (!selection.contains(code)) {
            selection << code;
        }
    } else {
        selection.removeAll(code);
    }
    PreferenceManager::shared().save(selection, PreferenceManager::kRecognitionLanguagesKey);
}

} // namespace quorvale
