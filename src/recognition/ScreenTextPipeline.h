#pragma once

#include "common/Result.h"
#include "platform/TextRecognizer.h"

#include <QImage>
#include <QRectF>
#include <QString>
#include <vector>

namespace quorvale {

// Reads the text of a screen image with one call of the engine, the screen-specific work
// done around it here.
class ScreenTextPipeline {
public:
    struct Line {
        QString text;
        QRectF box; // pixels of the input image
    };
    using Outcome = Result<std::vector<Line>, platform::RecognitionEngineError>;

    // What a 1x screen shows per inch.
    static constexpr int kScreenPpi = 96;

    // Lines in reading order, none empty. Blocks; never call it on the GUI thread.
    static Outcome read(platform::TextRecognizer& engine,
                        const platform::TextRecognitionRequest& request, const QImage& image);
};

} // namespace quorvale
