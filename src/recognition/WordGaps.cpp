#include "recognition/WordGaps.h"

#include "recognition/Median.h"
#include "recognition/RecognizedLine.h"

#include <algorithm>

namespace quorvale {
namespace {

// Columns of the line's band holding no ink, from the band's left edge. The page is
// light; ink is what lies nearer the darkest level than the lightest.
std::vector<bool> blankColumns(const QImage& grey, const QRect& band) {
    int darkest = 255;
    int page = 0;
    for (int y = band.top(); y <= band.bottom(); ++y) {
        const uchar* row = grey.constScanLine(y);
        for (int x = band.left(); x <= band.right(); ++x) {
            darkest = std::min<int>(darkest, row[x]);
            page = std::max<int>(page, row[x]);
        }
    }
    const int threshold = (page + darkest) / 2;
    std::vector<bool> blank(std::size_t(band.width()), true);
    for (int y = band.top(); y <= band.bottom(); ++y) {
        const uchar* row = grey.constScanLine(y);
        for (int x = band.left(); x <= band.right(); ++x) {
            if (row[x] < threshold) {
                blank[std::size_t(x - band.left())] = false;
            }
        }
    }
    return blank;
}

struct Gap {
    int from = 0; // first blank column
    int to = 0;   // last blank column
    int width() const { return to - from + 1; }
    double centre() const { return (from + to) / 2.0; }
};

// Blank runs strictly inside [left, right], in page columns.
std::vector<Gap> gapsWithin(const std::vector<bool>& blank, int origin, int left, int right) {
    std::vector<Gap> gaps;
    int x = left;
    while (x <= right && blank[std::size_t(x - origin)]) {
        ++x;
    }
    int end = right;
    while (end >= x && blank[std::size_t(end - origin)]) {
        --end;
    }
    while (x <= end) {
        if (!blank[std::size_t(x - origin)]) {
            ++x;
            continue;
        }
        Gap gap{x, x};
        while (gap.to + 1 <= end && blank[std::size_t(gap.to + 1 - origin)]) {
            ++gap.to;
        }
        gaps.push_back(gap);
        x = gap.to + 1;
    }
    return gaps;
}

void rebuild(platform::EngineWord& word) {
    word.text.clear();
    word.box = QRect();
    for (const platform::EngineSymbol& symbol : word.symbols) {
        word.text += symbol.text;
        word.box |= symbol.box;
    }
}

// A narrow "1" has gaps as wide as spaces on both sides, and so do the narrow marks of
// monospaced fonts; no space comes before a closing mark or after an opening one.
bool spaceFits(const QString& before, const QString& after) {
    if (before.isEmpty() || after.isEmpty()) {
        return false;
    }
    const QChar last = before.back();
    const QChar next = after.front();
    return !(last.isDigit() && next.isDigit()) && !QStringLiteral(",.;:!?)]}").contains(next) &&
           !QStringLiteral("([{").contains(last);
}

// The word's letters with each wide gap widened to a height of blank, read again: the
// letters the engine gives back there, word by word, when they are the word's own.
std::vector<int> respacedLengths(const QImage& grey, const QRect& band,
                                 const platform::EngineWord& word, const std::vector<Gap>& gaps,
                                 int height, const WordGaps::Reader& reread) {
    const int margin = height / 2;
    const QRect area = QRect(QPoint(word.box.left() - margin, band.top() - margin),
                             QPoint(word.box.right() + margin, band.bottom() + margin))
                           .intersected(grey.rect());
    int page = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* row = grey.constScanLine(y);
        page = std::max<int>(page, *std::max_element(row + area.left(), row + area.right() + 1));
    }
    QImage spaced(area.width() + int(gaps.size()) * height + 2 * margin, area.height() + 2 * margin,
                  QImage::Format_Grayscale8);
    spaced.fill(page);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* from = grey.constScanLine(y);
        uchar* to = spaced.scanLine(y - area.top() + margin) + margin;
        std::size_t next = 0;
        for (int x = area.left(); x <= area.right(); ++x) {
            *to++ = from[x];
            if (next < gaps.size() && x == int(gaps[next].centre())) {
                to += height;
                ++next;
            }
        }
    }
    QString letters;
    std::vector<int> lengths;
    for (const platform::EngineLine& line : reread(spaced)) {
        for (const platform::EngineWord& word : line.words) {
            letters += word.text;
            lengths.push_back(int(word.text.size()));
        }
    }
    if (letters != word.text) {
        return {};
    }
    std::vector<int> kept;
    int at = 0;
    for (const int length : lengths) {
        if (!kept.empty() && !spaceFits(letters.mid(at - 1, 1), letters.mid(at, 1))) {
            kept.back() += length;
        } else {
            kept.push_back(length);
        }
        at += length;
    }
    return kept.size() < 2 ? std::vector<int>() : kept;
}
} // namespace

int WordGaps::split(const QImage& grey, std::vector<platform::EngineLine>& lines,
                    const Reader& reread) {
    if (grey.format() != QImage::Format_Grayscale8) {
        return 0;
    }
    int splits = 0;
    for (platform::EngineLine& line : lines) {
        const QRect band = line.box.intersected(grey.rect());
        // Monospaced text has its spaces counted on its grid.
        if (band.isEmpty() || line.words.empty() || RecognizedLine::of(line).cellWidth()) {
            continue;
        }
        std::vector<int> heights;
        for (const platform::EngineWord& word : line.words) {
            for (const platform::EngineSymbol& symbol : word.symbols) {
                if (!symbol.text.isEmpty() && symbol.text.front().isLetterOrNumber()) {
                    heights.push_back(symbol.box.height());
                }
            }
        }
        const int height = median(heights);
        if (height <= 0) {
            continue;
        }
        // Per word: a line may hold dark text beside grey hints.
        std::vector<bool> blank(std::size_t(band.width()), true);
        for (const platform::EngineWord& word : line.words) {
            const QRect area = QRect(word.box.left(), band.top(), word.box.width(), band.height())
                                   .intersected(band);
            if (area.isEmpty()) {
                continue;
            }
            const std::vector<bool> own = blankColumns(grey, area);
            for (int x = area.left(); x <= area.right(); ++x) {
                blank[std::size_t(x - band.left())] = own[std::size_t(x - area.left())];
            }
        }
        const auto inside = [&](int x) { return std::clamp(x, band.left(), band.right()); };
        std::vector<int> letterGaps;
        for (const platform::EngineWord& word : line.words) {
            for (const Gap& gap : gapsWithin(blank, band.left(), inside(word.box.left()),
                                             inside(word.box.right()))) {
                letterGaps.push_back(gap.width());
            }
        }
        const double threshold =
            std::max(kMinShareOfHeight * height, kLetterGaps * median(letterGaps));
        std::vector<platform::EngineWord> words;
        for (platform::EngineWord& word : line.words) {
            std::vector<Gap> gaps =
                gapsWithin(blank, band.left(), inside(word.box.left()), inside(word.box.right()));
            // The engine's boxes may lag its letters; a box reaching into a wide gap leaves
            // unclear which letters lie on which side.
            const bool unclear = std::any_of(gaps.begin(), gaps.end(), [&](const Gap& gap) {
                return gap.width() >= threshold / 2 &&
                       std::any_of(word.symbols.begin(), word.symbols.end(), [&](const auto& s) {
                           return std::min(s.box.right(), gap.to) -
                                      std::max(s.box.left(), gap.from) >=
                                  kMaxReach;
                       });
            });
            gaps.erase(std::remove_if(gaps.begin(), gaps.end(),
                                      [&](const Gap& gap) { return gap.width() < threshold; }),
                       gaps.end());
            if (unclear && !gaps.empty()) {
                const std::vector<int> lengths =
                    reread ? respacedLengths(grey, band, word, gaps, height, reread)
                           : std::vector<int>();
                std::size_t first = 0;
                int blanksBefore = word.blanksBefore;
                for (const int length : lengths) {
                    platform::EngineWord part = word;
                    part.symbols.clear();
                    for (int letters = 0; letters < length && first < word.symbols.size();) {
                        letters += int(word.symbols[first].text.size());
                        part.symbols.push_back(word.symbols[first++]);
                    }
                    part.blanksBefore = blanksBefore;
                    blanksBefore = 1;
                    rebuild(part);
                    words.push_back(std::move(part));
                }
                splits += std::max(0, int(lengths.size()) - 1);
                if (lengths.empty()) {
                    words.push_back(std::move(word));
                }
                continue;
            }
            std::size_t first = 0;
            int blanksBefore = word.blanksBefore;
            for (const Gap& gap : gaps) {
                std::size_t cut = first;
                while (cut < word.symbols.size() &&
                       word.symbols[cut].box.left() + word.symbols[cut].box.width() / 2.0 <
                           gap.centre()) {
                    ++cut;
                }
                if (cut == first || cut == word.symbols.size() ||
                    !spaceFits(word.symbols[cut - 1].text, word.symbols[cut].text)) {
                    continue;
                }
                platform::EngineWord part = word;
                part.symbols.assign(word.symbols.begin() + std::ptrdiff_t(first),
                                    word.symbols.begin() + std::ptrdiff_t(cut));
                part.blanksBefore = blanksBefore;
                rebuild(part);
                words.push_back(std::move(part));
                blanksBefore = 1;
                first = cut;
                ++splits;
            }
            if (first == 0) {
                words.push_back(std::move(word));
                continue;
            }
            platform::EngineWord rest = word;
            rest.symbols.assign(word.symbols.begin() + std::ptrdiff_t(first), word.symbols.end());
            rest.blanksBefore = blanksBefore;
            rebuild(rest);
            words.push_back(std::move(rest));
        }
        const bool split = words.size() != line.words.size();
        line.words = std::move(words);
        if (split) {
            rebuildLineText(line);
        }
    }
    return splits;
}

} // namespace quorvale
