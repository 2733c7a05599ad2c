#pragma once

#include "platform/TextRecognizer.h"

#include <vector>

namespace quorvale {

// Icons, checkboxes, expander triangles and the cut-off edge of a title bar come back from
// the engine as short tokens it is unsure of ("vy", "&", "[Bm"), a title bar's buttons as
// single marks it may be sure of ("- o x"), a drop-down's arrow as a "v" or "Y" it may be sure
// of too. Such words are dropped,
// and lines left with no words; words the engine is sure of always stay. A line that was
// mostly such tokens and keeps only single marks or guesses is an icon row or a frame edge as a
// whole.
class ChromeTokens {
public:
    // Below this a short word is a guess whatever it holds; longer ones are mostly text
    // the engine joined to a neighbouring mark.
    static constexpr float kMinConfidence = 10;
    static constexpr int kMaxGuessLength = 1;
    // Below this a word of symbols alone (no letter or digit) is chrome; code is full of
    // such words the engine reads with middling confidence ("*/", "&&").
    static constexpr float kMinSymbolConfidence = 25;
    // A title bar's buttons: this many single marks or more, this many line heights or more
    // beyond the title.
    static constexpr std::size_t kMinWindowButtons = 2;
    static constexpr int kLinesBeforeWindowButtons = 2;
    // A word whose letters each take this many times its height holds marks, not text.
    static constexpr int kMarkSpread = 2;
    // A drop-down's arrow ends its line clear of the baseline by this many pixels and at
    // least one part in this many of the line's glyph height.
    static constexpr int kMinChevronClearance = 2;
    static constexpr int kChevronClearanceShare = 6;

    // Returns how many words were dropped; the text of a line that lost words is rebuilt.
    static int drop(std::vector<platform::EngineLine>& lines);
    static bool isChrome(const platform::EngineWord& word);
};

} // namespace quorvale
