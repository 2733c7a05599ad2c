#pragma once

#include <QtGlobal>
#include <cstdint>
#include <optional>
#include <vector>
#include <xcb/xcb.h>

namespace quorvale::platform {

// Where the server's modifier mapping put Super, Alt and the lock keys, and the shortcut
// model's Carbon bits in those terms (Command is Super, Option is Alt).
struct X11ModifierMasks {
    uint16_t super = XCB_MOD_MASK_4;
    uint16_t alt = XCB_MOD_MASK_1;
    uint16_t numLock = 0;
    uint16_t scrollLock = 0;

    static X11ModifierMasks query(xcb_connection_t* connection);

    // Every combination of the lock modifiers: a grab must be made once for each.
    std::vector<uint16_t> lockVariants() const;
    uint16_t lockMask() const { return XCB_MOD_MASK_LOCK | numLock | scrollLock; }
    // None when the combination needs a modifier X11 does not have (Fn).
    std::optional<uint16_t> fromCarbon(quint32 carbonModifiers) const;
    // Every modifier held, Caps Lock included, as Carbon bits.
    quint32 toCarbon(uint16_t state) const;
    // The modifiers that decide a match: locks and mouse buttons left out.
    uint16_t significant(uint16_t state) const { return state & 0xFF & ~lockMask(); }
};

} // namespace quorvale::platform
