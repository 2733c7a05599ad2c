#pragma once

#include "platform/GlobalHotKeys.h"

#include <QString>
#include <QtGlobal>

namespace GlobalShortcuts {

// The five modifiers a shortcut can carry, as Carbon bits and as platform event flags.
namespace ModifierFlags {

inline constexpr qint64 kCarbonCommand = quorvale::platform::GlobalHotKeys::kCarbonCommand;
inline constexpr qint64 kCarbonShift = quorvale::platform::GlobalHotKeys::kCarbonShift;
inline constexpr qint64 kCarbonOption = quorvale::platform::GlobalHotKeys::kCarbonOption;
inline constexpr qint64 kCarbonControl = quorvale::platform::GlobalHotKeys::kCarbonControl;
inline constexpr qint64 kCarbonFunction = quorvale::platform::GlobalHotKeys::kCarbonFunction;

inline constexpr quint64 kCapsLock = 0x10000;
inline constexpr quint64 kShift = 0x20000;
inline constexpr quint64 kControl = 0x40000;
inline constexpr quint64 kOption = 0x80000;
inline constexpr quint64 kCommand = 0x100000;
inline constexpr quint64 kNumericPad = 0x200000;
inline constexpr quint64 kFunction = 0x800000;

qint64 flagsToCarbon(quint64 flags);
quint64 carbonToFlags(qint64 carbon);
inline qint64 normalizedCarbon(qint64 carbon) {
    return flagsToCarbon(carbonToFlags(carbon));
}

} // namespace ModifierFlags

// ⌃⌥⇧⌘🌐︎ for the flags that are set, always in that order.
QString ks_symbolicRepresentation(quint64 modifierFlags);

} // namespace GlobalShortcuts
