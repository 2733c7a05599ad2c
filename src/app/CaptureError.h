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
    // The reason is for logs and the command line; the description stays the same.
    static CaptureError imageLoadFailed(QString reason = {}) {
        CaptureError error(Kind::imageLoadFailed);
        error.m_reason = std::move(reason);
        return error;
    }
    static CaptureError selfReleased() { return CaptureError(Kind::selfReleased); }
    static CaptureError cgImageConversionFailed() {
        return CaptureError(Kind::cgImageConversionFailed);
    }

    Kind kind() const { return m_kind; }
    const std::optional<OCRService::OCRError>& ocrError() const { return m_ocrError; }
    const std::optional<ScreenshotError>& screenshotError() const { return m_screenshotError; }
    QString localizedDescription() const;
    const QString& reason() const { return m_reason; }

private:
    explicit CaptureError(Kind kind)
        : m_kind(kind) {}

    Kind m_kind;
    std::optional<OCRService::OCRError> m_ocrError;
    std::optional<ScreenshotError> m_screenshotError;
    QString m_reason;
};

} // namespace quorvale
