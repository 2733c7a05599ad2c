#include "shortcuts/ModifierFlags.h"

#include <array>
#include <utility>

namespace GlobalShortcuts {
namespace ModifierFlags {
namespace {

constexpr std::array<std::pair<qint64, quint64>, 5> kPairs{{
    {kCarbonCommand, kCommand},
    {kCarbonShift, kShift},
    {kCarbonOption, kOption},
    {kCarbonControl, kControl},
    {kCarbonFunction, kFunction},
}};

} // namespace

qint64 flagsToCarbon(quint64 flags) {
    qint64 carbon = 0;
    for (const auto& [carbonBit, flag] : kPairs) {
        if (flags & flag) {
            carbon |= carbonBit;
        }
    }
    return carbon;
}

quint64 carbonToFlags(qint64 carbon) {
    quint64 flags = 0;
    for (const auto& [carbonBit, flag] : kPairs) {
        if (carbon & carbonBit) {
            flags |= flag;
        }
    }
    return flags;
}

} // namespace ModifierFlags

QString ks_symbolicRepresentation(quint64 modifierFlags) {
    using namespace ModifierFlags;
    QString text;
    if (modifierFlags & kControl) {
        text += QChar(0x2303);
    }
    if (modifierFlags & kOption) {
        text += QChar(0x2325);
    }
    if (modifierFlags & kShift) {
        text += QChar(0x21E7);
    }
    if (modifierFlags & kCommand) {
        text += QChar(0x2318);
    }
    if (modifierFlags & kFunction) {
        text += QString::fromUtf16(u"\U0001F310\uFE0E");
    }
    return text;
}

} // namespace GlobalShortcuts
