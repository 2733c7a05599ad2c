#pragma once

#include <QImage>
#include <QRect>
#include <vector>

namespace quorvale {

// Finds the flat, thin strokes of "_" under a line of dark-on-light text. The engine's
// line model reads them as spaces or drops them, which mangles identifiers in code.
class UnderscoreStrokes {
public:
    struct Line {
        QRect box;           // the line's glyphs
        int baseline = 0;    // image row the letters stand on
        double pitch = 0;    // width of one character cell
        int glyphHeight = 0; // typical height of a glyph
        int lowestRow = 0;   // last row above the next line's glyphs
    };

    // Each stroke's rectangle, left to right.
    static std::vector<QRect> find(const QImage& grey, const Line& line);
    // Whether anything is drawn under the line's baseline between these columns: where
    // nothing is, an underscore the engine read is a phantom of a rule erased nearby.
    static bool inkUnder(const QImage& grey, const Line& line, int left, int right);
    // How many underscores a stroke of this width stands for.
    static int count(const QRect& stroke, double pitch);
};

} // namespace quorvale
