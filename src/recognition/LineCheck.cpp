#include "recognition/LineCheck.h"

#include "recognition/PunctuationShape.h"
#include "recognition/RecognizedLine.h"
#include "recognition/UnderscoreStrokes.h"

#include <algorithm>

namespace quorvale {
QStringList LineCheck::correct(const QImage& grey, const std::vector<platform::EngineLine>& lines) {
    QStringList texts;
    for (const platform::EngineLine& line : lines) {
        RecognizedLine glyphs = RecognizedLine::of(line);
        texts << line.text;
        if (glyphs.glyphs().empty()) {
            continue;
        }
        UnderscoreStrokes::Line geometry;
        geometry.box = line.box;
        geometry.baseline = line.baseline;
        geometry.pitch = glyphs.pitch();
        geometry.glyphHeight = glyphs.glyphHeight();
        geometry.lowestRow = grey.height() - 1;
        for (const platform::EngineLine& other : lines) {
            const bool below = other.box.top() > line.baseline;
            const bool overlaps =
                other.box.left() <= line.box.right() && other.box.right() >= line.box.left();
            if (&other != &line && below && overlaps) {
                geometry.lowestRow = std::min(geometry.lowestRow, other.box.top() - 1);
            }
        }
        const std::vector<QRect> strokes = UnderscoreStrokes::find(grey, geometry);
        const bool monospaced = glyphs.cellWidth().has_value();
        if (monospaced) {
            const auto& all = glyphs.glyphs();
            for (std::size_t i = 0; i < all.size(); ++i) {
                if (all[i].text == QLatin1String(",") &&
                    PunctuationShape::isDot(grey, all[i].box)) {
                    glyphs.setGlyphText(i, QStringLiteral("."));
                }
                if (all[i].text == QLatin1String("T") &&
                    PunctuationShape::isSerifedI(grey, all[i].box)) {
                    glyphs.setGlyphText(i, QStringLiteral("I"));
                }
            }
        }
        bool phantoms = false;
        for (std::size_t i = 0; i < glyphs.glyphs().size(); ++i) {
            const QRect box = glyphs.glyphs()[i].box;
            const int reach = int(geometry.pitch / 2);
            // A real one is drawn as wide as a letter.
            if (glyphs.glyphs()[i].text == QLatin1String("_") && box.width() < reach / 2 &&
                !UnderscoreStrokes::inkUnder(grey, geometry, box.left() - reach,
                                             box.right() + reach)) {
                glyphs.setGlyphText(i, QString());
                phantoms = true;
            }
        }
        if (!strokes.empty() || monospaced || phantoms) {
            texts.back() = glyphs.text(strokes);
        }
    }
    return texts;
}

} // namespace quorvale
