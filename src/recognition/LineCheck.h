#pragma once

#include "platform/TextRecognizer.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>

namespace quorvale {

// Checks what the engine read against the page it read: puts back the underscores it
// dropped, the full stops of terminal fonts it took for commas, the serifed I of monospaced
// fonts it took for a T, and the runs of spaces of monospaced text it counted poorly.
class LineCheck {
public:
    // One text per line, in the same order; `grey` is the page the engine read.
    static QStringList correct(const QImage& grey, const std::vector<platform::EngineLine>& lines);
};

} // namespace quorvale
