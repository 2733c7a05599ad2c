#pragma once

#include "capture/ScreenshotError.h"
#include "recognition/OCRService.h"

#include <QString>
#include <optional>

namespace quorvale {

// Every way a capture-and-copy request can fail.
class CaptureError {
public:
    enum class Kind {
        ocrFailed,
        screenshotFailed,
        captureCancelled,
        captureFailed,
        imageLoadFailed,
        selfReleased,
        cgImageConversionFailed,
    };

    static CaptureError ocrFailed(OCRService::OCRError error);
    static CaptureError screenshotFailed(ScreenshotError error);
    static CaptureError captureCancelled() { return CaptureError(Kind::captureCancelled); }
    static CaptureError captureFailed() { return CaptureError(Kind::captureFailed); }
    static CaptureError imageLoadFailed() { return CaptureError(Kind::imageLoadFailed); }
    static CaptureError selfReleased() { return CaptureError(Kind::selfReleased); }
    static CaptureError cgImageConversionFailed() {
        return CaptureError(Kind::cgImageConversionFailed);
    }

    Kind kind() const { return m_kind; }
    const std::optional<OCRService::OCRError>& ocrError() const { return m_ocrError; }
    const std::optional<ScreenshotError>& screenshotError() const { return m_screenshotError; }
    QString localizedDescription() const;

private:
    explicit CaptureError(Kind kind)
        : m_kind(kind) {}

    Kind m_kind;
    std::optional<OCRService::OCRError> m_ocrError;
    std::optional<ScreenshotError> m_screenshotError;
};

} // namespace quorvale
