#include "app/CaptureService.h"

namespace quorvale {
namespace {

bool isLineBreak(char16_t c) {
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// Space separators and tab; newlines are handled by the split.
bool isWhitespace(QChar c) {
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

} // namespace

CaptureService::CaptureService(std::shared_ptr<ScreenshotService> screenshotService,
                               std::shared_ptr<OCRService> ocrService)
    : m_screenshotService(std::move(screenshotService))
    , m_ocrService(std::move(ocrService)) {}

void CaptureService::captureAndRecognize(bool windowMode, Completion completion) {
    const ScreenshotService::Options options(windowMode ? ScreenshotService::Options::windowMode
                                                        : 0);
    std::weak_ptr<CaptureService> weakSelf = weak_from_this();
    m_screenshotService->capture(options, [weakSelf, completion = std::move(completion)](
                                              ScreenshotService::CaptureResult screenshot) {
        auto self = weakSelf.lock();
        if (!self) {
            completion(CaptureResult::failure(CaptureError::selfReleased()));
            return;
        }
        if (!screenshot.isSuccess()) {
            if (screenshot.error().kind() == ScreenshotError::Kind::userCancelled) {
                completion(CaptureResult::failure(CaptureError::captureCancelled()));
            } else {
                completion(
                    CaptureResult::failure(CaptureError::screenshotFailed(screenshot.error())));
            }
            return;
        }
        self->m_ocrService->recognizeText(screenshot.value(),
                                          [weakSelf, completion](OCRService::OCRResult result) {
                                              finishRecognition(weakSelf, result, completion);
                                          });
    });
}

void CaptureService::recognize(const QImage& image, Completion completion) {
    std::weak_ptr<CaptureService> weakSelf = weak_from_this();
    m_ocrService->recognizeText(
        image, [weakSelf, completion = std::move(completion)](OCRService::OCRResult result) {
            finishRecognition(weakSelf, result, completion);
        });
}

void CaptureService::finishRecognition(const std::weak_ptr<CaptureService>& weakSelf,
                                       const OCRService::OCRResult& result,
                                       const Completion& completion) {
    if (weakSelf.expired()) {
        completion(CaptureResult::failure(CaptureError::selfReleased()));
        return;
    }
    if (!result.isSuccess()) {
        completion(CaptureResult::failure(CaptureError::ocrFailed(result.error())));
        return;
    }
    QString cleaned = cleanRecognizedText(result.value());
    // Blank-only text would wipe the clipboard for nothing: report it as nothing found.
    if (cleaned.isEmpty()) {
        completion(
            CaptureResult::failure(CaptureError::ocrFailed(OCRService::OCRError::noTextFound())));
        return;
    }
    completion(CaptureResult::success(std::move(cleaned)));
}

QString CaptureService::cleanRecognizedText(const QString& text) {
    QStringList lines;
    const qsizetype length = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= length; ++i) {
        if (i < length && !isLineBreak(text.at(i).unicode())) {
            continue;
        }
        qsizetype first = start;
        qsizetype last = i;
        while (first < last && isWhitespace(text.at(first))) {
            ++first;
        }
        while (last > first && isWhitespace(text.at(last - 1))) {
            --last;
        }
        if (last > first) {
            lines.append(text.mid(first, last - first));
        }
        start = i + 1;
    }
    return lines.join(u'\n');
}

} // namespace quorvale
