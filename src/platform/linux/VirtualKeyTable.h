#pragma once

#include <QtGlobal>
#include <optional>

namespace quorvale::platform {

// Virtual key codes (keyboard positions of the shortcut model) to Linux evdev codes and
// back. The X keycode of a key is its evdev code + 8.
namespace VirtualKeyTable {

inline constexpr int kX11KeycodeOffset = 8;

std::optional<int> evdevCode(qint64 virtualKeyCode);
std::optional<qint64> virtualKeyCode(int evdevCode);

inline std::optional<int> x11Keycode(qint64 virtualKeyCode) {
    const auto evdev = evdevCode(virtualKeyCode);
    return evdev ? std::optional<int>(*evdev + kX11KeycodeOffset) : std::nullopt;
}

} // namespace VirtualKeyTable

} // namespace quorvale::platform
