#pragma once

#include "common/Result.h"

#include <QImage>
#include <QRect>
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

// A page made ready for the engine: dark text on a light, opaque page.
struct EnginePage {
    QImage image; // Format_Grayscale8
    // Pixels per inch the text is drawn at; the engine sizes its noise filters from it.
    int ppi = 96;
    // Bands of the page, top to bottom, that are read at once, each by its own engine;
    // empty reads the page as one.
    std::vector<QRect> parts;
};

// Boxes are in pixels of the page; confidences run from 0 to 100.
struct EngineSymbol {
    QString text;
    QRect box;
    float confidence = 0;
};

struct EngineWord {
    QString text;
    QRect box;
    float confidence = 0;
    int blanksBefore = 0; // spaces between this word and the one before it
    std::vector<EngineSymbol> symbols;
};

// One line as the engine read it, in its reading order.
struct EngineLine {
    QString text;
    QRect box;
    int baseline = 0; // the row its letters stand on
    float confidence = 0;
    std::vector<EngineWord> words;
};

struct RecognitionEngineError {
    QString localizedDescription;
};

using EngineOutcome = Result<std::vector<EngineLine>, RecognitionEngineError>;

// The on-device text recognition engine. read() blocks and may be called from several
// threads at once; it is never called on the GUI thread.
class TextRecognizer {
public:
    virtual ~TextRecognizer() = default;
    // The lines of the page in the request's languages. A null page reads nothing but still
    // reports languages that cannot be read.
    virtual EngineOutcome read(const TextRecognitionRequest& request, const EnginePage& page) = 0;
    // How many parts of one page read() is worth giving at once: more than one only when
    // it has the cores for it.
    virtual int partsReadAtOnce() const { return 1; }
    // Starts loading, in the background, what read() with such a request will need, so
    // that call does not wait for it; returns at once.
    virtual void warmUp(const TextRecognitionRequest& request) = 0;
    // Language identifiers the engine can read, in its own order; nothing on engine error.
    virtual std::optional<QStringList> supportedRecognitionLanguages() = 0;
};

} // namespace quorvale::platform
