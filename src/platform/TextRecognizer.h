#pragma once

#include "common/Result.h"

#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace quorvale::platform {

enum class RecognitionLevel { accurate = 0, fast = 1 };

// One recognition request, built afresh for every call.
struct TextRecognitionRequest {
    RecognitionLevel recognitionLevel = RecognitionLevel::accurate;
    bool usesLanguageCorrection = false;
    // Identifiers such as "en-US"; empty leaves the engine's default.
    QStringList recognitionLanguages;
    bool automaticallyDetectsLanguage = false;
};

// One line of text as the engine found it; candidates are ranked best first.
struct RecognizedTextObservation {
    QStringList candidates;
    QRectF boundingBox; // image pixels
};

struct RecognitionEngineError {
    QString localizedDescription;
};

using RecognitionOutcome = Result<std::vector<RecognizedTextObservation>, RecognitionEngineError>;

// The on-device text recognition engine. perform() blocks and may be called from
// several threads at once; it is never called on the GUI thread.
class TextRecognizer {
public:
    virtual ~TextRecognizer() = default;
    virtual RecognitionOutcome perform(const TextRecognitionRequest& request,
                                       const QImage& image) = 0;
    // Starts loading, in the background, what perform() with such a request will need, so
    // that call does not wait for it; returns at once.
    virtual void warmUp(const TextRecognitionRequest& request) = 0;
    // Language identifiers the engine can read, in its own order; nothing on engine error.
    virtual std::optional<QStringList> supportedRecognitionLanguages() = 0;
};

} // namespace quorvale::platform
