#include "app/CaptureError.h"

namespace quorvale {

CaptureError CaptureError::ocrFailed(OCRService::OCRError error) {
    CaptureError result(Kind::ocrFailed);
    result.m_ocrError = std::move(error);
    return result;
}

CaptureError CaptureError::screenshotFailed(ScreenshotError error) {
    CaptureError result(Kind::screenshotFailed);
    result.m_screenshotError = std::move(error);
    return result;
}

QString CaptureError::localizedDescription() const {
    switch (m_kind) {
    case Kind::ocrFailed:
        return m_ocrError->localizedDescription();
    case Kind::screenshotFailed:
        return m_screenshotError->localizedDescription();
    case Kind::captureCancelled:
        return QStringLiteral("Capture cancelled");
    case Kind::captureFailed:
        return QStringLiteral("Capture failed");
    case Kind::imageLoadFailed:
        return QStringLiteral("Failed to load image");
    case Kind::selfReleased:
        return QStringLiteral("Internal error: Object released");
    case Kind::cgImageConversionFailed:
        return QStringLiteral("Failed to convert image");
    }
    return {};
}

} // namespace quorvale
