#include "platform/linux/DesktopReservedShortcuts.h"

#include "platform/GlobalHotKeys.h"

#include "platform/linux/VirtualKeyTable.h"

#include <QDir>
#include <QFile>
#include <QKeySequence>
#include <QStandardPaths>
#include <QTextStream>
#include <QXmlStreamReader>
#include <memory>
#include <xkbcommon/xkbcommon.h>

namespace quorvale::platform {
namespace {

using Carbon = GlobalHotKeys;

using Context = std::unique_ptr<xkb_context, decltype(&xkb_context_unref)>;
using Keymap = std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)>;

// Desktops store keys by name; the shortcut model by position. A US keymap links the two.
std::optional<qint64> virtualKeyForKeysym(xkb_keysym_t keysym) {
    static const Context context(xkb_context_new(XKB_CONTEXT_NO_FLAGS), &xkb_context_unref);
    if (!context) {
        return std::nullopt;
    }
    static const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    static const Keymap keymap(
        xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS),
        &xkb_keymap_unref);
    if (!keymap) {
        return std::nullopt;
    }
    const xkb_keysym_t wanted = xkb_keysym_to_lower(keysym);
    for (xkb_keycode_t keycode = xkb_keymap_min_keycode(keymap.get());
         keycode <= xkb_keymap_max_keycode(keymap.get()); ++keycode) {
        const xkb_keysym_t* syms = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap.get(), keycode, 0, 0, &syms);
        if (count > 0 && syms[0] == wanted) {
            if (const auto virtualKey = VirtualKeyTable::virtualKeyCode(
                    static_cast<int>(keycode) - VirtualKeyTable::kX11KeycodeOffset)) {
                return virtualKey;
            }
        }
    }
    return std::nullopt;
}

std::optional<GlobalHotKeys::ReservedHotKey> reserved(xkb_keysym_t keysym, qint64 modifiers) {
    if (keysym == XKB_KEY_NoSymbol) {
        return std::nullopt;
    }
    const auto virtualKey = virtualKeyForKeysym(keysym);
    if (!virtualKey) {
        return std::nullopt;
    }
    return GlobalHotKeys::ReservedHotKey{true, *virtualKey, modifiers};
}

xkb_keysym_t keysymForQtKey(int key) {
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35) {
        return XKB_KEY_F1 + (key - Qt::Key_F1);
    }
    if (key > 0 && key < 0x100) {
        return xkb_keysym_to_lower(static_cast<xkb_keysym_t>(key));
    }
    switch (key) {
    case Qt::Key_Escape:
        return XKB_KEY_Escape;
    case Qt::Key_Tab:
        return XKB_KEY_Tab;
    case Qt::Key_Backspace:
        return XKB_KEY_BackSpace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return XKB_KEY_Return;
    case Qt::Key_Insert:
        return XKB_KEY_Insert;
    case Qt::Key_Delete:
        return XKB_KEY_Delete;
    case Qt::Key_Print:
        return XKB_KEY_Print;
    case Qt::Key_Home:
        return XKB_KEY_Home;
    case Qt::Key_End:
        return XKB_KEY_End;
    case Qt::Key_Left:
        return XKB_KEY_Left;
    case Qt::Key_Up:
        return XKB_KEY_Up;
    case Qt::Key_Right:
        return XKB_KEY_Right;
    case Qt::Key_Down:
        return XKB_KEY_Down;
    case Qt::Key_PageUp:
        return XKB_KEY_Prior;
    case Qt::Key_PageDown:
        return XKB_KEY_Next;
    default:
        return XKB_KEY_NoSymbol;
    }
}

QString configHomeFromEnvironment() {
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    return configured.isEmpty() ? QDir::homePath() + QStringLiteral("/.config") : configured;
}

void readKde(const QString& path, std::vector<GlobalHotKeys::ReservedHotKey>& out) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return;
    }
    QTextStream stream(&file);
    while (!stream.atEnd()) {
        const QString line = stream.readLine().trimmed();
        const qsizetype equals = line.indexOf(u'=');
        if (line.startsWith(u'[') || line.startsWith(u'#') || equals <= 0 ||
            line.startsWith(QStringLiteral("_k_friendly_name"))) {
            continue;
        }
        // value: active shortcuts (tab-separated), default shortcuts, description
        const QString active = line.mid(equals + 1).section(u',', 0, 0);
        for (const QString& text : active.split(QStringLiteral("\\t"), Qt::SkipEmptyParts)) {
            if (auto entry = DesktopReservedShortcuts::parseKde(text)) {
                out.push_back(*entry);
            }
        }
    }
}

void readXfce(const QString& path, std::vector<GlobalHotKeys::ReservedHotKey>& out) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    QXmlStreamReader xml(&file);
    QStringList branch;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"property") {
            const QString name = xml.attributes().value(QStringLiteral("name")).toString();
            // The "custom" branches hold what is in force; "default" only what was shipped.
            if (branch.contains(QStringLiteral("custom"))) {
                const QString value = xml.attributes().value(QStringLiteral("value")).toString();
                if (auto entry = DesktopReservedShortcuts::parseGtk(name)) {
                    entry->enabled = value != u"empty" && !value.isEmpty();
                    out.push_back(*entry);
                }
            }
            branch.append(name);
        } else if (xml.isEndElement() && xml.name() == u"property" && !branch.isEmpty()) {
            branch.removeLast();
        }
    }
}

} // namespace

std::vector<GlobalHotKeys::ReservedHotKey> DesktopReservedShortcuts::read() {
    return read(configHomeFromEnvironment());
}

std::vector<GlobalHotKeys::ReservedHotKey>
DesktopReservedShortcuts::read(const QString& configHome) {
    std::vector<GlobalHotKeys::ReservedHotKey> entries;
    readKde(configHome + QStringLiteral("/kglobalshortcutsrc"), entries);
    readXfce(configHome +
                 QStringLiteral("/xfce4/xfconf/xfce-perchannel-xml/xfce4-keyboard-shortcuts.xml"),
             entries);
    return entries;
}

std::optional<GlobalHotKeys::ReservedHotKey>
DesktopReservedShortcuts::parseKde(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed == u"none") {
        return std::nullopt;
    }
    const QKeySequence sequence = QKeySequence::fromString(trimmed, QKeySequence::PortableText);
    if (sequence.count() != 1) {
        return std::nullopt;
    }
    const QKeyCombination combination = sequence[0];
    const Qt::KeyboardModifiers qtModifiers = combination.keyboardModifiers();
    qint64 modifiers = 0;
    if (qtModifiers & Qt::MetaModifier) {
        modifiers |= Carbon::kCarbonCommand;
    }
    if (qtModifiers & Qt::AltModifier) {
        modifiers |= Carbon::kCarbonOption;
    }
    if (qtModifiers & Qt::ControlModifier) {
        modifiers |= Carbon::kCarbonControl;
    }
    if (qtModifiers & Qt::ShiftModifier) {
        modifiers |= Carbon::kCarbonShift;
    }
    return reserved(keysymForQtKey(combination.key()), modifiers);
}

std::optional<GlobalHotKeys::ReservedHotKey>
DesktopReservedShortcuts::parseGtk(const QString& text) {
    QString rest = text.trimmed();
    qint64 modifiers = 0;
    while (rest.startsWith(u'<')) {
        const qsizetype close = rest.indexOf(u'>');
        if (close < 0) {
            return std::nullopt;
        }
        const QString modifier = rest.mid(1, close - 1).toLower();
        if (modifier == u"primary" || modifier == u"control" || modifier == u"ctrl") {
            modifiers |= Carbon::kCarbonControl;
        } else if (modifier == u"alt" || modifier == u"mod1") {
            modifiers |= Carbon::kCarbonOption;
        } else if (modifier == u"super" || modifier == u"mod4" || modifier == u"meta") {
            modifiers |= Carbon::kCarbonCommand;
        } else if (modifier == u"shift") {
            modifiers |= Carbon::kCarbonShift;
        } else {
            return std::nullopt;
        }
        rest = rest.mid(close + 1);
    }
    if (rest.isEmpty()) {
        return std::nullopt;
    }
    return reserved(xkb_keysym_from_name(rest.toUtf8().constData(), XKB_KEYSYM_CASE_INSENSITIVE),
                    modifiers);
}

} // namespace quorvale::platform
