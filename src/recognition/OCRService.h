#pragma once

#include "common/Result.h"
#include "platform/TextRecognizer.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace quorvale {

// Turns one bitmap into text with the on-device engine, off the GUI thread.
class OCRService {
public:
    class OCRError {
    public:
        enum class Kind { recognitionFailed, noTextFound };

        static OCRError recognitionFailed(platform::RecognitionEngineError engineError);
        static OCRError noTextFound();

        Kind kind() const { return m_kind; }
        const platform::RecognitionEngineError& engineError() const { return m_engineError; }
        QString localizedDescription() const;

    private:
        Kind m_kind = Kind::noTextFound;
        platform::RecognitionEngineError m_engineError;
    };

    struct LanguageInfo {
        QString code;
        QString name;
        friend bool operator==(const LanguageInfo&, const LanguageInfo&) = default;
    };

    using OCRResult = Result<QString, OCRError>;
    using Completion = std::function<void(OCRResult)>;

    // Languages come from the user's settings. The completion runs exactly once, on a
    // pool thread, never before this returns.
    void recognizeText(const QImage& image, Completion completion) const;
    // The same with an explicit language list (command line).
    void recognizeText(const QImage& image, const QStringList& languages,
                       Completion completion) const;

    // Loads the engine for the settings' (or the given) languages in the background, so
    // the first recognition need not wait for it.
    void warmUp() const;
    void warmUp(const QStringList& languages) const;

    static std::vector<LanguageInfo> supportedLanguages();
    static bool isSelected(const QString& code);
    static void setSelected(const QString& code, bool on);
};

} // namespace quorvale
