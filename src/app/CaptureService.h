#pragma once

#include "app/CaptureError.h"
#include "capture/ScreenshotService.h"
#include "common/Result.h"
#include "recognition/OCRService.h"

#include <QImage>
#include <QString>
#include <functional>
#include <memory>

namespace quorvale {

// Chains screen capture and recognition and cleans the text; keeps no state between requests.
class CaptureService : public std::enable_shared_from_this<CaptureService> {
public:
    using CaptureResult = Result<QString, CaptureError>;
    using Completion = std::function<void(CaptureResult)>;

    CaptureService(std::shared_ptr<ScreenshotService> screenshotService,
                   std::shared_ptr<OCRService> ocrService);

    ScreenshotService& screenshotService() const { return *m_screenshotService; }
    OCRService& ocrService() const { return *m_ocrService; }

    // The completion runs at most once: not at all when the selection is superseded.
    void captureAndRecognize(bool windowMode, Completion completion);
    // The completion runs exactly once.
    void recognize(const QImage& image, Completion completion);

    // Lines trimmed, blank lines dropped, joined with LF.
    static QString cleanRecognizedText(const QString& text);

private:
    static void finishRecognition(const std::weak_ptr<CaptureService>& weakSelf,
                                  const OCRService::OCRResult& result,
                                  const Completion& completion);

    std::shared_ptr<ScreenshotService> m_screenshotService;
    std::shared_ptr<OCRService> m_ocrService;
};

} // namespace quorvale
