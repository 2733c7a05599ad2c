#include "recognition/ScreenTextPreparation.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace quorvale {
namespace {

constexpr int kOpaqueAlpha = 128;
// Per pixel ratio, as deep as the edge bands the grey stages clear.
constexpr int kMaxMarginThickness = 10;

int luminance(QRgb color) {
    return qGray(color);
}

bool isDark(QRgb color) {
    return luminance(color) < 128;
}

// Colours are counted in bins so that a faint gradient or dithering still has one winner.
int binOf(QRgb color) {
    return (qRed(color) >> 3) << 10 | (qGreen(color) >> 3) << 5 | (qBlue(color) >> 3);
}

constexpr int kLanczosLobes = 3;
constexpr int kTaps = 2 * kLanczosLobes;

double lanczos(double x) {
    if (x == 0.0) {
        return 1.0;
    }
    if (std::abs(x) >= kLanczosLobes) {
        return 0.0;
    }
    const double px = M_PI * x;
    return kLanczosLobes * std::sin(px) * std::sin(px / kLanczosLobes) / (px * px);
}

// For each output phase, the weights of the kTaps source pixels starting at
// floor(centre) - kLanczosLobes + 1, normalised to sum to one.
struct Phase {
    int first = 0;
    std::array<double, kTaps> weights{};
};

std::array<Phase, ScreenTextPreparation::kUpscaleFactor> lanczosPhases() {
    std::array<Phase, ScreenTextPreparation::kUpscaleFactor> phases;
    for (int p = 0; p < ScreenTextPreparation::kUpscaleFactor; ++p) {
        const double centre = (p + 0.5) / ScreenTextPreparation::kUpscaleFactor - 0.5;
        const int base = int(std::floor(centre));
        phases[p].first = base - kLanczosLobes + 1;
        double sum = 0;
        for (int t = 0; t < kTaps; ++t) {
            phases[p].weights[t] = lanczos(centre - (phases[p].first + t));
            sum += phases[p].weights[t];
        }
        for (double& w : phases[p].weights) {
            w /= sum;
        }
    }
    return phases;
}

uchar clampedLevel(double level) {
    return uchar(std::clamp(int(std::lround(level)), 0, 255));
}

// Rings [first, last) of the image's edge, outermost first.
template <typename Visit>
void forEachRingPixel(const QImage& argb, int first, int last, Visit visit) {
    const int w = argb.width();
    const int h = argb.height();
    for (int ring = first; ring < last && 2 * ring < std::min(w, h); ++ring) {
        const int left = ring;
        const int top = ring;
        const int right = w - 1 - ring;
        const int bottom = h - 1 - ring;
        for (int x = left; x <= right; ++x) {
            visit(argb.pixel(x, top));
            if (bottom > top) {
                visit(argb.pixel(x, bottom));
            }
        }
        for (int y = top + 1; y < bottom; ++y) {
            visit(argb.pixel(left, y));
            if (right > left) {
                visit(argb.pixel(right, y));
            }
        }
    }
}

// The most common opaque colour of those rings, if any is opaque.
std::optional<QRgb> commonRingColour(const QImage& argb, int first, int last) {
    struct Bin {
        int count = 0;
        qint64 r = 0, g = 0, b = 0;
    };
    QHash<int, Bin> bins;
    forEachRingPixel(argb, first, last, [&bins](QRgb pixel) {
        if (qAlpha(pixel) < kOpaqueAlpha) {
            return;
        }
        Bin& bin = bins[binOf(pixel)];
        ++bin.count;
        bin.r += qRed(pixel);
        bin.g += qGreen(pixel);
        bin.b += qBlue(pixel);
    });
    if (bins.isEmpty()) {
        return std::nullopt;
    }
    const Bin* best = nullptr;
    for (const Bin& bin : bins) {
        if (!best || bin.count > best->count) {
            best = &bin;
        }
    }
    return qRgb(int(best->r / best->count), int(best->g / best->count), int(best->b / best->count));
}

// A window captured with its outline and frame: the outline is not the page. Only a band
// of the other polarity just inside overrules the outermost ring.
QRgb framedPageColour(const QImage& argb, QRgb outer) {
    const int band = std::clamp(std::min(argb.width(), argb.height()) / 10, 1, 8);
    const auto inner = commonRingColour(argb, 1, band);
    return inner && isDark(*inner) != isDark(outer) ? *inner : outer;
}

bool sameSurface(QRgb a, QRgb b) {
    constexpr int kTolerance = 16;
    return qAlpha(a) >= kOpaqueAlpha && std::abs(qRed(a) - qRed(b)) <= kTolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= kTolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= kTolerance;
}

// The picture less the bands along its sides that are of `surface` all through, a few pixels
// deep, and end at something else.
QRect withinMargin(const QImage& argb, QRgb surface, qreal devicePixelRatio) {
    const int w = argb.width();
    const int h = argb.height();
    const int maxDepth =
        kMaxMarginThickness * int(std::lround(std::max<qreal>(1.0, devicePixelRatio)));
    // Share of a row or column that is of the surface, in hundredths.
    const auto surfaceShare = [&](bool row, int at) {
        const int length = row ? w : h;
        int same = 0;
        for (int i = 0; i < length; ++i) {
            same += sameSurface(row ? argb.pixel(i, at) : argb.pixel(at, i), surface) ? 1 : 0;
        }
        return same * 100 / length;
    };
    // A page that runs on under the first line of text is no margin.
    const auto depth = [&](bool row, int from, int step) {
        const int lines = row ? h : w;
        int d = 0;
        while (d <= maxDepth && 2 * d < lines && surfaceShare(row, from + step * d) >= 97) {
            ++d;
        }
        const bool ends =
            d > 0 && d <= maxDepth && 2 * d < lines && surfaceShare(row, from + step * d) < 50;
        return ends ? d : 0;
    };
    const int left = depth(false, 0, 1);
    const int right = depth(false, w - 1, -1);
    const int top = depth(true, 0, 1);
    const int bottom = depth(true, h - 1, -1);
    return QRect(QPoint(left, top), QPoint(w - 1 - right, h - 1 - bottom));
}

} // namespace

QRectF ScreenTextPreparation::Prepared::toInput(const QRectF& rect) const {
    return QRectF((rect.x() - padding) / scale, (rect.y() - padding) / scale, rect.width() / scale,
                  rect.height() / scale);
}

QRgb ScreenTextPreparation::backgroundColor(const QImage& image) {
    if (image.isNull()) {
        return qRgb(255, 255, 255);
    }
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    if (const auto ring = commonRingColour(argb, 0, 1)) {
        const QRgb outer = framedPageColour(argb, *ring);
        // A selection dragged a few pixels past a window takes in a band of the desktop round
        // it; only a page of the other polarity inside overrules the band.
        const QRect content = withinMargin(argb, *ring, image.devicePixelRatio());
        if (content != argb.rect()) {
            const QImage within = argb.copy(content);
            if (const auto innerRing = commonRingColour(within, 0, 1)) {
                const QRgb page = framedPageColour(within, *innerRing);
                if (isDark(page) != isDark(outer)) {
                    return page;
                }
            }
        }
        return outer;
    }
    // Content drawn on a transparent page: pick the page that shows it.
    qint64 sum = 0;
    qint64 count = 0;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) >= kOpaqueAlpha) {
                sum += luminance(line[x]);
                ++count;
            }
        }
    }
    const bool lightContent = count > 0 && sum / count >= 128;
    return lightContent ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
}

QImage ScreenTextPreparation::flattened(const QImage& image, QRgb background) {
    if (!image.hasAlphaChannel()) {
        return image.convertToFormat(QImage::Format_RGB32);
    }
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int br = qRed(background);
    const int bg = qGreen(background);
    const int bb = qBlue(background);
    for (int y = 0; y < argb.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            const auto mix = [a](int c, int b) { return (c * a + b * (255 - a) + 127) / 255; };
            line[x] = qRgb(mix(qRed(p), br), mix(qGreen(p), bg), mix(qBlue(p), bb));
        }
    }
    return argb.convertToFormat(QImage::Format_RGB32);
}

QImage ScreenTextPreparation::lightGrey(const QImage& opaque, QRgb background) {
    const QImage rgb = opaque.convertToFormat(QImage::Format_RGB32);
    const bool invert = isDark(background);
    QImage grey(rgb.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* out = grey.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const int level = luminance(in[x]);
            out[x] = uchar(invert ? 255 - level : level);
        }
    }
    return grey;
}

QImage ScreenTextPreparation::enlarged(const QImage& grey) {
    static const auto phases = lanczosPhases();
    const int w = grey.width();
    const int h = grey.height();
    const int f = kUpscaleFactor;
    // Rows first, into a float buffer, so that rounding happens once.
    std::vector<float> wide(std::size_t(w) * f * h);
    for (int y = 0; y < h; ++y) {
        const uchar* in = grey.constScanLine(y);
        float* out = wide.data() + std::size_t(y) * w * f;
        for (int x = 0; x < w; ++x) {
            for (int p = 0; p < f; ++p) {
                double level = 0;
                for (int t = 0; t < kTaps; ++t) {
                    const int sx = std::clamp(x + phases[p].first + t, 0, w - 1);
                    level += phases[p].weights[t] * in[sx];
                }
                out[x * f + p] = float(level);
            }
        }
    }
    QImage result(w * f, h * f, QImage::Format_Grayscale8);
    for (int y = 0; y < h; ++y) {
        for (int p = 0; p < f; ++p) {
            uchar* out = result.scanLine(y * f + p);
            for (int x = 0; x < w * f; ++x) {
                double level = 0;
                for (int t = 0; t < kTaps; ++t) {
                    const int sy = std::clamp(y + phases[p].first + t, 0, h - 1);
                    level += phases[p].weights[t] * wide[std::size_t(sy) * w * f + x];
                }
                out[x] = clampedLevel(level);
            }
        }
    }
    return result;
}

bool ScreenTextPreparation::shouldUpscale(const QImage& image) {
    const qint64 enlarged =
        qint64(image.width()) * image.height() * kUpscaleFactor * kUpscaleFactor;
    const int longestSide = std::max(image.width(), image.height()) * kUpscaleFactor;
    return std::abs(image.devicePixelRatio() - 1.0) < 0.25 && enlarged <= kMaxUpscaledPixels &&
           longestSide + 2 * kPadding <= kMaxSide;
}

QImage ScreenTextPreparation::padded(const QImage& grey, int padding, int level) {
    QImage result(grey.width() + 2 * padding, grey.height() + 2 * padding,
                  QImage::Format_Grayscale8);
    result.fill(qRgb(level, level, level));
    for (int y = 0; y < grey.height(); ++y) {
        std::copy_n(grey.constScanLine(y), grey.width(), result.scanLine(y + padding) + padding);
    }
    return result;
}

ScreenTextPreparation::Prepared ScreenTextPreparation::prepare(const QImage& input,
                                                               const GreyStages& greyStages) {
    Prepared prepared;
    if (input.isNull()) {
        return prepared;
    }
    const QRgb background = backgroundColor(input);
    const int level = isDark(background) ? 255 - luminance(background) : luminance(background);
    QImage grey = lightGrey(flattened(input, background), background);
    if (greyStages) {
        greyStages(grey, level, int(std::lround(std::max<qreal>(1.0, input.devicePixelRatio()))));
    }
    if (shouldUpscale(input)) {
        prepared.scale = kUpscaleFactor;
        grey = enlarged(grey);
    }
    prepared.padding = kPadding;
    prepared.pageLevel = level;
    prepared.image = padded(grey, kPadding, level);
    return prepared;
}

} // namespace quorvale
