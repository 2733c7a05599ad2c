#include "platform/linux/X11ModifierMasks.h"

#include "platform/GlobalHotKeys.h"
#include "platform/linux/X11Connection.h"

#include <memory>

namespace quorvale::platform {
namespace {

using Carbon = GlobalHotKeys;

constexpr xcb_keysym_t kNumLock = 0xff7f;
constexpr xcb_keysym_t kScrollLock = 0xff14;
constexpr xcb_keysym_t kAltL = 0xffe9;
constexpr xcb_keysym_t kAltR = 0xffea;
constexpr xcb_keysym_t kSuperL = 0xffeb;
constexpr xcb_keysym_t kSuperR = 0xffec;

} // namespace

X11ModifierMasks X11ModifierMasks::query(xcb_connection_t* connection) {
    X11ModifierMasks masks;
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const uint8_t count = setup->max_keycode - setup->min_keycode + 1;
    XcbReply<xcb_get_modifier_mapping_reply_t> modifiers(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr),
        &std::free);
    XcbReply<xcb_get_keyboard_mapping_reply_t> keyboard(
        xcb_get_keyboard_mapping_reply(
            connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), nullptr),
        &std::free);
    if (!modifiers || !keyboard) {
        return masks;
    }
    const xcb_keycode_t* modifierKeys = xcb_get_modifier_mapping_keycodes(modifiers.get());
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(keyboard.get());
    const int perKeycode = keyboard->keysyms_per_keycode;
    const int keysymCount = xcb_get_keyboard_mapping_keysyms_length(keyboard.get());
    bool foundSuper = false;
    bool foundAlt = false;
    // Mod1 to Mod5 only: Shift, Lock and Control have fixed masks.
    for (int modifier = 3; modifier < 8; ++modifier) {
        const uint16_t mask = 1 << modifier;
        for (int i = 0; i < modifiers->keycodes_per_modifier; ++i) {
            const xcb_keycode_t keycode =
                modifierKeys[modifier * modifiers->keycodes_per_modifier + i];
            if (keycode < setup->min_keycode) {
                continue;
            }
            const int first = (keycode - setup->min_keycode) * perKeycode;
            for (int level = 0; level < perKeycode && first + level < keysymCount; ++level) {
                const xcb_keysym_t keysym = keysyms[first + level];
                if (keysym == kNumLock) {
                    masks.numLock = mask;
                } else if (keysym == kScrollLock) {
                    masks.scrollLock = mask;
                } else if ((keysym == kSuperL || keysym == kSuperR) && !foundSuper) {
                    masks.super = mask;
                    foundSuper = true;
                } else if ((keysym == kAltL || keysym == kAltR) && !foundAlt) {
                    masks.alt = mask;
                    foundAlt = true;
                }
            }
        }
    }
    return masks;
}

std::vector<uint16_t> X11ModifierMasks::lockVariants() const {
    std::vector<uint16_t> variants{0};
    for (const uint16_t lock : {uint16_t(XCB_MOD_MASK_LOCK), numLock, scrollLock}) {
        if (lock == 0) {
            continue;
        }
        const std::size_t size = variants.size();
        for (std::size_t i = 0; i < size; ++i) {
            variants.push_back(variants[i] | lock);
        }
    }
    return variants;
}

std::optional<uint16_t> X11ModifierMasks::fromCarbon(quint32 carbonModifiers) const {
    if (carbonModifiers & Carbon::kCarbonFunction) {
        return std::nullopt;
    }
    uint16_t mask = 0;
    if (carbonModifiers & Carbon::kCarbonShift) {
        mask |= XCB_MOD_MASK_SHIFT;
    }
    if (carbonModifiers & Carbon::kCarbonControl) {
        mask |= XCB_MOD_MASK_CONTROL;
    }
    if (carbonModifiers & Carbon::kCarbonOption) {
        mask |= alt;
    }
    if (carbonModifiers & Carbon::kCarbonCommand) {
        mask |= super;
    }
    return mask;
}

quint32 X11ModifierMasks::toCarbon(uint16_t state) const {
    quint32 carbon = 0;
    if (state & XCB_MOD_MASK_SHIFT) {
        carbon |= Carbon::kCarbonShift;
    }
    if (state & XCB_MOD_MASK_LOCK) {
        carbon |= Carbon::kCarbonAlphaLock;
    }
    if (state & XCB_MOD_MASK_CONTROL) {
        carbon |= Carbon::kCarbonControl;
    }
    if (state & alt) {
        carbon |= Carbon::kCarbonOption;
    }
    if (state & super) {
        carbon |= Carbon::kCarbonCommand;
    }
    return carbon;
}

} // namespace quorvale::platform
