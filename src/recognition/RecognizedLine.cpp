#include "recognition/RecognizedLine.h"

#include "recognition/Median.h"
#include "recognition/UnderscoreStrokes.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace quorvale {
namespace {

// What the engine tends to make of underscores.
bool readsAsUnderscore(const QString& text) {
    static const QString kShapes = QStringLiteral("_-\u2010\u2013\u2014\u2015\u2017\u00af~");
    return text.size() == 1 && kShapes.contains(text.front());
}

// How far from a whole number of cells a gap may be and still count as one.
constexpr double kGridTolerance = 0.25;

double centre(const QRect& rect) {
    return rect.left() + rect.width() / 2.0;
}

// Where a glyph starts. The engine's box may take in a stroke just before the glyph.
int startOf(const QRect& box, const std::vector<QRect>& strokes) {
    int left = box.left();
    for (const QRect& stroke : strokes) {
        if (stroke.left() <= left && left <= stroke.right() && stroke.right() < box.right()) {
            left = stroke.right() + 1;
        }
    }
    return left;
}

} // namespace

RecognizedLine RecognizedLine::of(const platform::EngineLine& line) {
    RecognizedLine glyphs;
    for (const platform::EngineWord& word : line.words) {
        for (std::size_t i = 0; i < word.symbols.size(); ++i) {
            glyphs.addGlyph(word.symbols[i].text, word.symbols[i].box, i == 0, word.blanksBefore);
        }
    }
    return glyphs;
}

void RecognizedLine::addGlyph(const QString& text, const QRect& box, bool startsWord,
                              int blanksBefore) {
    if (startsWord && !m_glyphs.empty()) {
        ++m_words;
    }
    m_glyphs.push_back({text, box, m_words, startsWord ? blanksBefore : 0});
}

double RecognizedLine::pitch() const {
    std::vector<double> advances;
    for (std::size_t i = 1; i < m_glyphs.size(); ++i) {
        if (m_glyphs[i].word == m_glyphs[i - 1].word) {
            advances.push_back(m_glyphs[i].box.left() - m_glyphs[i - 1].box.left());
        }
    }
    const double advance = median(advances);
    return advance > 0 ? advance : glyphHeight() * 0.6;
}

int RecognizedLine::glyphHeight() const {
    std::vector<int> heights;
    for (const Glyph& glyph : m_glyphs) {
        heights.push_back(glyph.box.height());
    }
    return median(heights);
}

std::optional<double> RecognizedLine::cellWidth() const {
    std::vector<double> advances;
    for (std::size_t i = 1; i < m_glyphs.size(); ++i) {
        if (m_glyphs[i].word == m_glyphs[i - 1].word) {
            advances.push_back(centre(m_glyphs[i].box) - centre(m_glyphs[i - 1].box));
        }
    }
    if (advances.size() < kMinAdvancesForCells) {
        return std::nullopt;
    }
    const double typical = median(advances);
    const auto even = std::count_if(advances.begin(), advances.end(), [typical](double a) {
        return std::abs(a - typical) <= 0.12 * typical;
    });
    if (typical <= 0 || even * 5 < qsizetype(advances.size()) * 4) {
        return std::nullopt;
    }
    return typical;
}

QString RecognizedLine::text(const std::vector<QRect>& underscores) const {
    const double cell = pitch();
    const std::optional<double> grid = cellWidth();
    struct Piece {
        const Glyph* glyph = nullptr; // else a stroke
        QRect box;
        bool opensSlot = false; // a word, or a misread stroke, ends before it
    };
    std::vector<Piece> pieces;
    bool dropped = false;
    for (const Glyph& glyph : m_glyphs) {
        const double c = centre(glyph.box);
        const bool misread =
            readsAsUnderscore(glyph.text) &&
            std::any_of(underscores.begin(), underscores.end(), [&](const QRect& stroke) {
                return c >= stroke.left() - 0.2 * cell && c <= stroke.right() + 0.2 * cell;
            });
        if (misread) {
            dropped = true;
            continue;
        }
        const bool newWord = !pieces.empty() && pieces.back().glyph->word != glyph.word;
        pieces.push_back({&glyph, glyph.box, newWord || dropped});
        dropped = false;
    }

    // The engine read a stroke as a gap between words, or as a dash it gave its own slot;
    // its glyph boxes around such places are too rough to order by. Each stroke goes to
    // the nearest such slot, else before the first glyph starting right of its middle.
    std::vector<QRect> strokes = underscores;
    std::sort(strokes.begin(), strokes.end(),
              [](const QRect& a, const QRect& b) { return a.left() < b.left(); });
    std::vector<std::vector<QRect>> before(pieces.size() + 1);
    std::size_t earliest = 0;
    for (const QRect& stroke : strokes) {
        const double middle = centre(stroke);
        std::optional<std::size_t> best;
        double bestDistance = stroke.width() / 2.0 + cell;
        for (std::size_t k = earliest; k <= pieces.size(); ++k) {
            const bool open = k == 0 || k == pieces.size() || pieces[k].opensSlot;
            if (!open) {
                continue;
            }
            const double at = k == 0 ? pieces.empty() ? middle : pieces[0].box.left()
                              : k == pieces.size()
                                  ? pieces[k - 1].box.right()
                                  : (pieces[k - 1].box.right() + pieces[k].box.left()) / 2.0;
            if (std::abs(at - middle) <= bestDistance) {
                bestDistance = std::abs(at - middle);
                best = k;
            }
        }
        if (!best) {
            std::size_t k = earliest;
            while (k < pieces.size() && startOf(pieces[k].box, strokes) < middle) {
                ++k;
            }
            best = k;
        }
        before[*best].push_back(stroke);
        earliest = *best;
    }

    QString text;
    const auto spaces = [&](int count) { text += QString(count, QLatin1Char(' ')); };
    // Centres of the first and last character cells of a piece.
    const auto firstCell = [&](const QRect& box, bool stroke) {
        if (!stroke) {
            return (startOf(box, strokes) + box.right()) / 2.0;
        }
        return centre(box) - (UnderscoreStrokes::count(box, *grid) - 1) * *grid / 2;
    };
    const auto lastCell = [&](const QRect& box, bool stroke) {
        return stroke ? centre(box) + (UnderscoreStrokes::count(box, *grid) - 1) * *grid / 2
                      : centre(box);
    };
    const auto gapSpaces = [&](const QRect& from, bool fromStroke, const QRect& to, bool toStroke) {
        if (grid) {
            // Between two cell counts, the smaller: stroke ends are the least sure.
            const double cells = (firstCell(to, toStroke) - lastCell(from, fromStroke)) / *grid;
            spaces(std::max(0, int(std::floor(cells + kGridTolerance)) - 1));
            return;
        }
        const double gap = (toStroke ? to.left() : startOf(to, strokes)) - from.right() - 1;
        if (gap > 0.45 * cell) {
            spaces(std::max(1, int(std::lround(gap / cell))));
        }
    };
    std::optional<QRect> previous;
    bool previousIsStroke = false;
    for (std::size_t k = 0; k <= pieces.size(); ++k) {
        for (const QRect& stroke : before[k]) {
            if (previous) {
                gapSpaces(*previous, previousIsStroke, stroke, true);
            }
            text +=
                QString(UnderscoreStrokes::count(stroke, grid.value_or(cell)), QLatin1Char('_'));
            previous = stroke;
            previousIsStroke = true;
        }
        if (k == pieces.size()) {
            break;
        }
        const Piece& piece = pieces[k];
        if (previous && !before[k].empty()) {
            gapSpaces(*previous, true, piece.box, false);
        } else if (k > 0 && piece.glyph->word != pieces[k - 1].glyph->word) {
            int blanks = std::max(1, piece.glyph->blanksBefore);
            if (grid) {
                // Monospaced text: the cells between two words are the spaces typed there.
                const double cells = (centre(piece.box) - centre(pieces[k - 1].box)) / *grid;
                if (std::abs(cells - std::round(cells)) <= kGridTolerance) {
                    blanks = std::max(1, int(std::lround(cells)) - 1);
                }
            }
            spaces(blanks);
        }
        text += piece.glyph->text;
        previous = piece.box;
        previousIsStroke = false;
    }
    return text;
}

void rebuildLineText(platform::EngineLine& line) {
    line.text.clear();
    for (std::size_t i = 0; i < line.words.size(); ++i) {
        if (i > 0) {
            line.text += QString(std::max(1, line.words[i].blanksBefore), QLatin1Char(' '));
        }
        line.text += line.words[i].text;
    }
}

} // namespace quorvale
