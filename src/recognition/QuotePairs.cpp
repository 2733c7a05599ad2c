#include "recognition/QuotePairs.h"

namespace quorvale {
namespace {

constexpr char16_t kLeftSingle = u'\u2018';
constexpr char16_t kRightSingle = u'\u2019';
constexpr char16_t kLeftDouble = u'\u201c';
constexpr char16_t kRightDouble = u'\u201d';

bool isOpening(QChar c) {
    return c == kLeftSingle || c == kLeftDouble;
}

bool isQuoteMark(QChar c) {
    return isOpening(c) || c == kRightSingle || c == kRightDouble || c == u'\'' || c == u'"' ||
           c == u'`';
}

} // namespace

QString QuotePairs::restoreBackticks(QString line) {
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (!isOpening(line[i])) {
            continue;
        }
        for (qsizetype j = i + 1; j < line.size(); ++j) {
            if (isQuoteMark(line[j])) {
                if (line[j] == u'\'') {
                    line[i] = u'`';
                }
                break;
            }
        }
    }
    return line;
}

} // namespace quorvale
