#include "recognition/LineCheck.h"

#include "recognition/PunctuationShape.h"
#include "recognition/RecognizedLine.h"
#include "recognition/UnderscoreStrokes.h"

#include <algorithm>

namespace quorvale {
namespace {

RecognizedLine glyphsOf(const platform::EngineLine& line) {
    RecognizedLine glyphs;
    for (const platform::EngineWord& word : line.words) {
        for (std::size_t i = 0; i < word.symbols.size(); ++i) {
            glyphs.addGlyph(word.symbols[i].text, word.symbols[i].box, i == 0, word.blanksBefore);
        }
    }
    return glyphs;
}

} // namespace

QStringList LineCheck::correct(const QImage& grey, const std::vector<platform::EngineLine>& lines) {
    QStringList texts;
    for (const platform::EngineLine& line : lines) {
        RecognizedLine glyphs = glyphsOf(line);
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
            }
        }
        if (!strokes.empty() || monospaced) {
            texts.back() = glyphs.text(strokes);
        }
    }
    return texts;
}

} // namespace quorvale
