#pragma once

#include <QString>
#include <QtGlobal>
#include <xkbcommon/xkbcommon.h>

namespace quorvale::platform {

// What a key prints pressed alone in one layout of an xkbcommon keymap.
class XkbKeyTranslator {
public:
    // Empty for keys without a printable character.
    static QString characterOf(xkb_keymap* keymap, xkb_layout_index_t layout,
                               qint64 virtualKeyCode);
    // The accent a dead key puts on the next letter; empty for other keysyms.
    static QString deadKeyCharacter(xkb_keysym_t keysym);
};

} // namespace quorvale::platform
