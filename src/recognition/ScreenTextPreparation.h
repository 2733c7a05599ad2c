#pragma once

#include <QImage>
#include <QRectF>
#include <QRgb>
#include <functional>

namespace quorvale {

// Turns a screen image into what the engine reads best: dark text on a light, opaque,
// 8-bit grey page, enlarged when the pixels are small.
class ScreenTextPreparation {
public:
    // Beyond this the enlarged copy costs more memory and time than small text gains.
    static constexpr qint64 kMaxUpscaledPixels = 25'000'000;
    // The engine cannot address more pixels per side.
    static constexpr int kMaxSide = 32767;
    static constexpr int kUpscaleFactor = 2;
    static constexpr int kPadding = 8;

    struct Prepared {
        QImage image; // Format_Grayscale8
        int scale = 1;
        int padding = 0;
        int pageLevel = 255; // grey level of the page around the text
        // A rectangle of the prepared image in the input's pixels.
        QRectF toInput(const QRectF& rect) const;
    };

    // Work on the grey page at the input's size, before it is enlarged: `pixelRatio` is
    // the input's device pixel ratio, rounded.
    using GreyStages = std::function<void(QImage& grey, int pageLevel, int pixelRatio)>;

    static Prepared prepare(const QImage& input, const GreyStages& greyStages = {});

    // The most common opaque colour on the border; for an image whose border is
    // transparent, white behind dark content and black behind light content.
    static QRgb backgroundColor(const QImage& image);
    // Alpha composited over the background: an opaque RGB32 image.
    static QImage flattened(const QImage& image, QRgb background);
    // Grey, inverted when the background is dark, so text always ends up dark.
    static QImage lightGrey(const QImage& opaque, QRgb background);
    static bool shouldUpscale(const QImage& image);
    static QImage padded(const QImage& grey, int padding, int level);
    // Enlarged by kUpscaleFactor with a Lanczos-3 filter, which keeps glyph edges
    // sharper than bilinear smoothing does.
    static QImage enlarged(const QImage& grey);
};

} // namespace quorvale
