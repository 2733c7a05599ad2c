#pragma once

#include <QString>

namespace quorvale {

// The engine reads the backtick that opens a `quote' (the GNU and TeX style of plain text)
// as a typographic opening quote. Typography never closes one with a straight apostrophe,
// so an opening quote whose next quote mark is a straight ' stood for a backtick.
class QuotePairs {
public:
    static QString restoreBackticks(QString line);
};

} // namespace quorvale
