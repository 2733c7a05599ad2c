#pragma once

#include "platform/TextRecognizer.h"

#include <QRect>
#include <QString>
#include <optional>
#include <vector>

namespace quorvale {

// One line as the engine read it, glyph by glyph, so that characters it missed can be
// put back where they stand on the image.
class RecognizedLine {
public:
    struct Glyph {
        QString text;
        QRect box;
        int word = 0;
        int blanksBefore = 0; // for a word's first glyph: spaces between it and the last word
    };

    static RecognizedLine of(const platform::EngineLine& line);

    void addGlyph(const QString& text, const QRect& box, bool startsWord, int blanksBefore);
    const std::vector<Glyph>& glyphs() const { return m_glyphs; }
    void setGlyphText(std::size_t index, const QString& text) { m_glyphs.at(index).text = text; }

    // Median advance from glyph to glyph inside words: a monospaced font's cell width,
    // about an average letter's width otherwise.
    double pitch() const;
    // The cell width when the glyphs sit on an even grid, as in a monospaced font.
    std::optional<double> cellWidth() const;
    // Median glyph height.
    int glyphHeight() const;

    // The text with each stroke written as underscores, replacing whatever the engine
    // read there; spaces around a stroke follow the gaps on the image.
    QString text(const std::vector<QRect>& underscores) const;

private:
    static constexpr std::size_t kMinAdvancesForCells = 6;

    std::vector<Glyph> m_glyphs;
    int m_words = 0;
};

// The line's text again from its words and the blanks the engine counted between them.
void rebuildLineText(platform::EngineLine& line);

} // namespace quorvale
