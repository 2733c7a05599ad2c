#include "shared/HexColor.h"

#include <algorithm>

namespace quorvale {
namespace {

bool isAlphanumeric(QChar c) {
    return c.isLetterOrNumber() || c.isMark();
}

bool isHexDigit(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

QStringView trimmedToAlphanumerics(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && !isAlphanumeric(text[begin])) {
        ++begin;
    }
    while (end > begin && !isAlphanumeric(text[end - 1])) {
        --end;
    }
    return text.sliced(begin, end - begin);
}

} // namespace

QColor colorFromHex(QStringView hex) {
    const QColor white = QColor::fromRgb(255, 255, 255, 255);
    const QStringView digits = trimmedToAlphanumerics(hex);
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), isHexDigit)) {
        return white;
    }
    bool ok = false;
    const quint32 value = digits.toUInt(&ok, 16);
    if (!ok) {
        return white;
    }
    switch (digits.size()) {
    case 8:
        return QColor::fromRgb((value >> 16) & 0xff, (value >> 8) & 0xff, value & 0xff,
                               value >> 24);
    case 6:
        return QColor::fromRgb((value >> 16) & 0xff, (value >> 8) & 0xff, value & 0xff, 255);
    case 3:
        return QColor::fromRgb(((value >> 8) & 0xf) * 17, ((value >> 4) & 0xf) * 17,
                               (value & 0xf) * 17, 255);
    default:
        return white;
    }
}

} // namespace quorvale
