#pragma once

#include <QCoreApplication>
#include <QString>

namespace quorvale {

// An error reported by the screen-capture backend itself.
struct CaptureBackendError {
    QString domain;
    int code = 0;
    QString localizedDescription;
    // The user or the desktop refused to hand out the pixels.
    bool declined = false;
};

// Why a screen capture gave no image.
class ScreenshotError {
public:
    enum class Kind { captureFailed, screenCaptureKitError, userCancelled };

    static ScreenshotError captureFailed(QString message) {
        return ScreenshotError(Kind::captureFailed, std::move(message), {});
    }
    // On Linux: an error of the X11 capture backend (the other platform's capture framework).
    static ScreenshotError screenCaptureKitError(CaptureBackendError error) {
        return ScreenshotError(Kind::screenCaptureKitError, {}, std::move(error));
    }
    static ScreenshotError userCancelled() { return ScreenshotError(Kind::userCancelled, {}, {}); }

    Kind kind() const { return m_kind; }
    const QString& message() const { return m_message; }
    const CaptureBackendError& backendError() const { return m_backendError; }

    QString localizedDescription() const {
        switch (m_kind) {
        case Kind::captureFailed:
            return QCoreApplication::translate("ScreenshotError", "Capture failed: ") + m_message;
        case Kind::screenCaptureKitError:
            return QCoreApplication::translate("ScreenshotError", "Screen capture error: ") +
                   m_backendError.localizedDescription;
        case Kind::userCancelled:
            break;
        }
        return QCoreApplication::translate("ScreenshotError", "User cancelled the selection.");
    }

private:
    ScreenshotError(Kind kind, QString message, CaptureBackendError backendError)
        : m_kind(kind)
        , m_message(std::move(message))
        , m_backendError(std::move(backendError)) {}

    Kind m_kind;
    QString m_message;
    CaptureBackendError m_backendError;
};

} // namespace quorvale
