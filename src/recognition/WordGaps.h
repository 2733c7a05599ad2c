#pragma once

#include "platform/TextRecognizer.h"

#include <QImage>
#include <functional>
#include <vector>

namespace quorvale {

// The engine's word spacing is tuned to print: on the tight fonts of screens it joins words
// ("Renameafile", "2.4MB"). A gap on the image that is blank from the line's top to its
// bottom and as wide as the gaps between the line's words splits the word there.
class WordGaps {
public:
    // A word gap is at least this share of the letters' height, and this many times the
    // line's usual gap between letters.
    static constexpr double kMinShareOfHeight = 0.4;
    static constexpr double kLetterGaps = 2.0;
    // A letter's box reaching this far into a gap: the engine's boxes are off there.
    static constexpr int kMaxReach = 2;

    // Reads a small page again. Where the engine's letter boxes lag its letters, the word
    // is read again with its wide gaps widened, and split only where that reading, letter
    // for letter the same, puts spaces.
    using Reader = std::function<std::vector<platform::EngineLine>(const QImage& page)>;

    // `grey` is the page the engine read. Returns how many words were split.
    static int split(const QImage& grey, std::vector<platform::EngineLine>& lines,
                     const Reader& reread = {});
};

} // namespace quorvale
