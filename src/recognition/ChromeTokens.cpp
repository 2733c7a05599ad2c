#include "recognition/ChromeTokens.h"

#include "recognition/RecognizedLine.h"

#include <algorithm>

namespace quorvale {

bool ChromeTokens::isChrome(const platform::EngineWord& word) {
    if (word.confidence < kMinConfidence && word.text.size() <= kMaxGuessLength) {
        return true;
    }
    const bool symbolsOnly = std::none_of(word.text.begin(), word.text.end(),
                                          [](QChar c) { return c.isLetterOrNumber(); });
    return symbolsOnly && word.confidence < kMinSymbolConfidence;
}

namespace {

// The minimise, maximise and close buttons at the right end of a title bar: single marks
// ("-", "o", "x") far beyond the title, on the picture's top line.
int dropWindowButtons(std::vector<platform::EngineLine>& lines) {
    const auto top = std::min_element(lines.begin(), lines.end(), [](const auto& a, const auto& b) {
        return a.box.top() < b.box.top();
    });
    if (top == lines.end()) {
        return 0;
    }
    auto& words = top->words;
    // The engine may join marks into one word, its letters far wider apart than a word's.
    const auto marks = [](const platform::EngineWord& word) {
        return std::none_of(word.text.begin(), word.text.end(),
                            [](QChar c) { return c.isDigit(); }) &&
               (word.text.size() == 1 || word.box.width() >= ChromeTokens::kMarkSpread *
                                                                 word.box.height() *
                                                                 word.text.size());
    };
    std::size_t first = words.size();
    qsizetype count = 0;
    while (first > 0 && marks(words[first - 1])) {
        count += words[first - 1].text.size();
        --first;
    }
    const std::size_t buttons = words.size() - first;
    if (first == 0 || count < qsizetype(ChromeTokens::kMinWindowButtons) ||
        words[first].box.left() - words[first - 1].box.right() <
            ChromeTokens::kLinesBeforeWindowButtons * top->box.height()) {
        return 0;
    }
    words.erase(words.begin() + std::ptrdiff_t(first), words.end());
    rebuildLineText(*top);
    return int(buttons);
}

// A drop-down's arrow at the right end of its box: a V-shaped mark standing clear of the
// line's baseline, where a letter v or Y would stand on it.
int dropChevrons(std::vector<platform::EngineLine>& lines) {
    int dropped = 0;
    for (platform::EngineLine& line : lines) {
        if (line.words.size() < 2 || line.words.back().text.size() != 1 ||
            !QStringLiteral("vVyY").contains(line.words.back().text.front())) {
            continue;
        }
        const int clearance = line.baseline - line.words.back().box.bottom();
        if (clearance >= ChromeTokens::kMinChevronClearance &&
            clearance * ChromeTokens::kChevronClearanceShare >=
                RecognizedLine::of(line).glyphHeight()) {
            line.words.pop_back();
            rebuildLineText(line);
            ++dropped;
        }
    }
    return dropped;
}

} // namespace

int ChromeTokens::drop(std::vector<platform::EngineLine>& lines) {
    int dropped = dropWindowButtons(lines) + dropChevrons(lines);
    for (platform::EngineLine& line : lines) {
        const int before = int(line.words.size());
        const auto kept = std::remove_if(line.words.begin(), line.words.end(), isChrome);
        const int gone = int(line.words.end() - kept);
        if (gone == 0) {
            continue;
        }
        dropped += gone;
        line.words.erase(kept, line.words.end());
        const bool onlyMarksLeft =
            std::all_of(line.words.begin(), line.words.end(), [](const platform::EngineWord& word) {
                return word.text.size() <= 1 || word.confidence < kMinConfidence;
            });
        if (gone * 2 >= before && onlyMarksLeft) {
            dropped += int(line.words.size());
            line.words.clear();
        }
        rebuildLineText(line);
    }
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const platform::EngineLine& line) {
                                   return line.words.empty() && line.text.isEmpty();
                               }),
                lines.end());
    return dropped;
}

} // namespace quorvale
