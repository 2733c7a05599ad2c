#include "app/CaptureError.h"

#include <QCoreApplication>

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
        return QCoreApplication::translate("CaptureError", "Capture cancelled");
    case Kind::captureFailed:
        return QCoreApplication::translate("CaptureError", "Capture failed");
    case Kind::imageLoadFailed:
        return QCoreApplication::translate("CaptureError", "Failed to load image");
    case Kind::selfReleased:
        return QCoreApplication::translate("CaptureError", "Internal error: Object released");
    case Kind::cgImageConversionFailed:
        return QCoreApplication::translate("CaptureError", "Failed to convert image");
    }
    return {};
}

} // namespace quorvale
