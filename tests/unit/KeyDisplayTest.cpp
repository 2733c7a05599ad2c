#include "platform/fake/FakePlatform.h"
#include "platform/linux/VirtualKeyTable.h"
#include "platform/linux/XkbKeyTranslator.h"
#include "shortcuts/GlobalShortcuts.h"
#include "shortcuts/SpecialKey.h"

#include <gtest/gtest.h>
#include <memory>
#include <set>

using namespace GlobalShortcuts;
using quorvale::platform::XkbKeyTranslator;

namespace {

class KeyDisplay : public ::testing::Test {
protected:
    void SetUp() override { detail::resetForTesting(); }
    void TearDown() override { detail::resetForTesting(); }
    quorvale::platform::FakePlatform fakes;
};

TEST_F(KeyDisplay, LinuxUsersReadModifiersByNameInTheirOrder) {
    const std::pair<Shortcut, QString> cases[] = {
        {Shortcut(35, 0x900), "Super+Alt+P"},
        {Shortcut(96, 0x1200), "Ctrl+Shift+F5"},
        {Shortcut(35, 0x1B00 | 0x20000), "Super+Ctrl+Alt+Shift+Fn+P"},
        {Shortcut(51, 0x1000), "Ctrl+Backspace"},
        {Shortcut(117, 0), "Delete"},
        {Shortcut(49, 0x800), "Alt+Space"},
        {Shortcut(121, 0x100), "Super+Page Down"},
        {Shortcut(69, 0x1000), "Ctrl+Keypad +"},
        {Shortcut(16, 0x100), "Super+Y"},
        {Shortcut(50, 0x100), "Super+`"},
        // A key the layout does not name stays readable.
        {Shortcut(37, 0x100), "Super+Key37"},
        {Shortcut(19, 0x200), "Shift+2"}, // never the shifted character
    };
    for (const auto& [shortcut, text] : cases) {
        EXPECT_EQ(shortcut.displayString(), text) << shortcut.carbonKeyCode;
    }
}

TEST_F(KeyDisplay, SpecialKeysGiveMenusTheirQtKeyOrNothing) {
    // Keypad keys have no menu equivalent, so no action can carry them.
    const std::pair<qint64, QKeySequence> cases[] = {
        {36, QKeySequence(Qt::Key_Return)},
        {114, QKeySequence(Qt::Key_Help)},
        {126, QKeySequence(Qt::Key_Up)},
        {49, QKeySequence(Qt::Key_Space)},
        {122, QKeySequence(Qt::Key_F1)},
        {111, QKeySequence(Qt::Key_F12)},
        {71, QKeySequence()},
        {82, QKeySequence()},
        {76, QKeySequence()},
    };
    for (const auto& [keyCode, sequence] : cases) {
        EXPECT_EQ(Shortcut(keyCode, 0).keySequence(), sequence) << keyCode;
        EXPECT_FALSE(layoutCharacter(keyCode)) << keyCode;
    }
    EXPECT_EQ(fakes.keyboardLayout->lookups, 0) << "special keys never reach the layout";
}

TEST_F(KeyDisplay, LettersGiveMenusTheLayoutCharacterAndUnprintableKeysNothing) {
    EXPECT_EQ(Shortcut(35, 0x900).keySequence(), QKeySequence(Qt::META | Qt::ALT | Qt::Key_P));
    EXPECT_EQ(Shortcut(122, 0x1200).keySequence(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F1));

    // Untranslatable or multi-character keys have no character; people still read a name.
    fakes.keyboardLayout->characters[40] = "";
    fakes.keyboardLayout->characters[41] = "ab";
    for (const qint64 code : {40, 41, 999}) {
        EXPECT_EQ(Shortcut(code, 0x100).displayString(), QString("Super+Key%1").arg(code));
        EXPECT_TRUE(Shortcut(code, 0x100).keySequence().isEmpty()) << code;
    }
    // One grapheme of two code points is still one character.
    fakes.keyboardLayout->characters[42] = "e\u0301";
    EXPECT_EQ(layoutCharacter(42), "e\u0301");
}

// Real layouts through xkbcommon, no X server needed.
class XkbLayouts : public ::testing::Test {
protected:
    using Keymap = std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)>;
    Keymap keymap(const char* layouts) {
        const xkb_rule_names names{"evdev", "pc105", layouts, "", ""};
        return Keymap(xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS),
                      &xkb_keymap_unref);
    }
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context{
        xkb_context_new(XKB_CONTEXT_NO_FLAGS), &xkb_context_unref};
};

TEST_F(XkbLayouts, KeysPrintWhatEachLayoutPutsOnThem) {
    const auto maps = keymap("us,de,fr");
    ASSERT_TRUE(maps);
    struct Case {
        qint64 keyCode;
        const char16_t* us;
        const char16_t* de;
        const char16_t* fr;
    } cases[] = {
        {35, u"p", u"p", u"p"}, {16, u"y", u"z", u"y"}, {6, u"z", u"y", u"w"},
        {0, u"a", u"a", u"q"},  {12, u"q", u"q", u"a"}, {18, u"1", u"1", u"&"},
        {41, u";", u"ö", u"m"}, {50, u"`", u"^", u"²"}, {24, u"=", u"\u00B4", u"="},
        {33, u"[", u"ü", u"^"}, {36, u"", u"", u""},    {48, u"", u"", u""},
    };
    for (const Case& c : cases) {
        for (const auto& [layout, expected] : {std::pair{0u, c.us}, {1u, c.de}, {2u, c.fr}}) {
            EXPECT_EQ(XkbKeyTranslator::characterOf(maps.get(), layout, c.keyCode),
                      QString::fromUtf16(expected))
                << "key " << c.keyCode << " layout " << layout;
        }
    }
}

TEST(VirtualKeys, KnownPositionsAndRoundTrips) {
    using namespace quorvale::platform::VirtualKeyTable;
    EXPECT_EQ(x11Keycode(35), 33) << "P";
    EXPECT_EQ(x11Keycode(16), 29) << "Y";
    EXPECT_EQ(x11Keycode(122), 67) << "F1";
    EXPECT_FALSE(x11Keycode(63)) << "Fn has no X keycode";
    for (qint64 code = 0; code < 128; ++code) {
        if (const auto evdev = evdevCode(code)) {
            EXPECT_EQ(virtualKeyCode(*evdev), code);
        }
    }
    // Every F key maps one past the previous one.
    std::set<qint64> codes;
    for (const auto& entry : SpecialKeys::table()) {
        codes.insert(entry.keyCode);
        EXPECT_TRUE(evdevCode(entry.keyCode)) << entry.keyCode;
        EXPECT_EQ(SpecialKeys::forKeyCode(entry.keyCode), entry.key);
        EXPECT_FALSE(SpecialKeys::linuxName(entry.key).isEmpty()) << entry.keyCode;
        if (entry.key >= SpecialKey::f1 && entry.key <= SpecialKey::f20) {
            const int n = static_cast<int>(entry.key) - static_cast<int>(SpecialKey::f1);
            EXPECT_EQ(SpecialKeys::linuxName(entry.key), QStringLiteral("F%1").arg(n + 1));
            EXPECT_EQ(SpecialKeys::menuKeyEquivalent(entry.key), QString(QChar(0xF704 + n)));
        }
    }
    EXPECT_EQ(codes.size(), SpecialKeys::table().size()) << "a key code listed twice";
}

} // namespace
