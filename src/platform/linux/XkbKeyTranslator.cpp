#include "platform/linux/XkbKeyTranslator.h"

#include "platform/linux/VirtualKeyTable.h"

#include <array>
#include <utility>

namespace quorvale::platform {

QString XkbKeyTranslator::characterOf(xkb_keymap* keymap, xkb_layout_index_t layout,
                                      qint64 virtualKeyCode) {
    const auto keycode = VirtualKeyTable::x11Keycode(virtualKeyCode);
    if (!keymap || !keycode) {
        return {};
    }
    const xkb_layout_index_t layouts = xkb_keymap_num_layouts_for_key(keymap, *keycode);
    if (layouts == 0) {
        return {};
    }
    const xkb_keysym_t* syms = nullptr;
    if (xkb_keymap_key_get_syms_by_level(keymap, *keycode, layout < layouts ? layout : 0, 0,
                                         &syms) < 1) {
        return {};
    }
    char utf8[16] = {};
    if (xkb_keysym_to_utf8(syms[0], utf8, sizeof utf8) <= 1) {
        return deadKeyCharacter(syms[0]);
    }
    const QString text = QString::fromUtf8(utf8);
    // Return, Tab, Escape and friends print nothing.
    return text.size() == 1 && (text[0].category() == QChar::Other_Control) ? QString() : text;
}

QString XkbKeyTranslator::deadKeyCharacter(xkb_keysym_t keysym) {
    static constexpr std::array<std::pair<xkb_keysym_t, char16_t>, 16> kDeadKeys{{
        {XKB_KEY_dead_grave, u'`'},
        {XKB_KEY_dead_acute, u'\u00B4'},
        {XKB_KEY_dead_circumflex, u'^'},
        {XKB_KEY_dead_tilde, u'~'},
        {XKB_KEY_dead_macron, u'\u00AF'},
        {XKB_KEY_dead_breve, u'\u02D8'},
        {XKB_KEY_dead_abovedot, u'\u02D9'},
        {XKB_KEY_dead_diaeresis, u'\u00A8'},
        {XKB_KEY_dead_abovering, u'\u02DA'},
        {XKB_KEY_dead_doubleacute, u'\u02DD'},
        {XKB_KEY_dead_caron, u'\u02C7'},
        {XKB_KEY_dead_cedilla, u'\u00B8'},
        {XKB_KEY_dead_ogonek, u'\u02DB'},
        {XKB_KEY_dead_iota, u'\u037A'},
        {XKB_KEY_dead_belowdot, u'\u0323'},
        {XKB_KEY_dead_hook, u'\u0309'},
    }};
    for (const auto& [dead, character] : kDeadKeys) {
        if (dead == keysym) {
            return QString(QChar(character));
        }
    }
    return {};
}

} // namespace quorvale::platform
