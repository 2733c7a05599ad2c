#include "platform/fake/FakePlatform.h"
#include "platform/linux/VirtualKeyTable.h"
#include "platform/linux/XkbKeyTranslator.h"
#include "shortcuts/GlobalShortcuts.h"
#include "shortcuts/MenuItemShortcut.h"
#include "shortcuts/ModifierFlags.h"
#include "shortcuts/SpecialKey.h"

#include <QAction>
#include <gtest/gtest.h>
#include <memory>

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
    };
    for (const auto& [shortcut, text] : cases) {
        EXPECT_EQ(shortcut.displayString(), text) << shortcut.carbonKeyCode;
    }
}

TEST_F(KeyDisplay, SpecialKeysUseTheirSymbolsAndMenuEquivalents) {
    struct Case {
        qint64 keyCode;
        QString display;
        std::optional<QString> menu;
    };
    // Space and F keys show one thing and give menus another; keypad keys give menus nothing.
    const Case cases[] = {
        {36, "↩", "↩"},
        {114, "?\u20DD", "?\u20DD"},
        {126, "↑", "↑"},
        {49, "Space", " "},
        {122, "F1", QString(QChar(0xF704))},
        {71, "☒\u20E3", std::nullopt},
        {82, "0\u20E3", std::nullopt},
        {76, "\u2305", std::nullopt},
    };
    for (const Case& c : cases) {
        const Shortcut shortcut(c.keyCode, 0);
        EXPECT_EQ(shortcut.description(), c.display) << c.keyCode;
        EXPECT_EQ(shortcut.nsMenuItemKeyEquivalent(), c.menu) << c.keyCode;
        EXPECT_FALSE(layoutCharacter(c.keyCode)) << c.keyCode;
    }
    EXPECT_EQ(fakes.keyboardLayout->lookups, 0) << "special keys never reach the layout";
}

TEST_F(KeyDisplay, TableHas53KeysEachWithADisplayString) {
    const auto& table = SpecialKeys::table();
    ASSERT_EQ(table.size(), 53u);
    std::set<qint64> codes;
    for (const auto& entry : table) {
        codes.insert(entry.keyCode);
        EXPECT_FALSE(SpecialKeys::displayString(entry.key).isEmpty()) << entry.keyCode;
        EXPECT_EQ(SpecialKeys::forKeyCode(entry.keyCode), entry.key);
        // Every F key maps one past the previous one.
        if (entry.key >= SpecialKey::f1 && entry.key <= SpecialKey::f20) {
            const int n = static_cast<int>(entry.key) - static_cast<int>(SpecialKey::f1);
            EXPECT_EQ(SpecialKeys::menuKeyEquivalent(entry.key), QString(QChar(0xF704 + n)));
            EXPECT_EQ(SpecialKeys::displayString(entry.key), QStringLiteral("F%1").arg(n + 1));
        }
    }
    EXPECT_EQ(codes.size(), 53u);
}

TEST_F(KeyDisplay, ModifiersComeInTheirFixedOrder) {
    namespace f = ModifierFlags;
    EXPECT_EQ(ks_symbolicRepresentation(0), "");
    EXPECT_EQ(ks_symbolicRepresentation(f::kCommand | f::kShift | f::kOption | f::kControl |
                                        f::kFunction),
              QString::fromUtf16(u"⌃⌥⇧⌘\U0001F310\uFE0E"));
    EXPECT_EQ(Shortcut(19, 0x200).description(), "⇧2") << "never the shifted character";
}

TEST_F(KeyDisplay, LettersShowUpperCaseButMenusGetTheLayoutCharacter) {
    const Shortcut p(35, 0x900);
    EXPECT_EQ(p.description(), "⌥⌘P");
    EXPECT_EQ(p.nsMenuItemKeyEquivalent(), "p");
    EXPECT_EQ(p.keySequence(), QKeySequence(Qt::META | Qt::ALT | Qt::Key_P));
    EXPECT_EQ(Shortcut(122, 0x1200).keySequence(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F1));
    EXPECT_EQ(Shortcut(49, 0x100).keySequence(), QKeySequence(Qt::META | Qt::Key_Space));
    EXPECT_TRUE(Shortcut(82, 0x100).keySequence().isEmpty());

    // Untranslatable or multi-character keys have no character.
    fakes.keyboardLayout->characters[40] = "";
    fakes.keyboardLayout->characters[41] = "ab";
    for (const qint64 code : {40, 41, 999}) {
        EXPECT_EQ(Shortcut(code, 0x100).description(), "⌘\uFFFD") << code;
        EXPECT_FALSE(Shortcut(code, 0x100).nsMenuItemKeyEquivalent()) << code;
    }
    // One grapheme of two code points is still one character.
    fakes.keyboardLayout->characters[42] = "e\u0301";
    EXPECT_EQ(layoutCharacter(42), "e\u0301");
}

TEST_F(KeyDisplay, ALayoutSwitchShowsInTheVeryNextString) {
    const Shortcut y(16, 0x900);
    EXPECT_EQ(y.description(), "⌥⌘Y");
    fakes.keyboardLayout->switchTo({{16, "z"}, {6, "y"}});
    EXPECT_EQ(y.description(), "⌥⌘Z");
    EXPECT_EQ(y.nsMenuItemKeyEquivalent(), "z");
}

TEST_F(KeyDisplay, BoundMenuItemFollowsItsName) {
    const Name name("menuItem");
    setShortcut(Shortcut(35, 0x900), name);
    QAction item;
    MenuItemShortcut::bind(&item, name);
    EXPECT_EQ(item.shortcut(), QKeySequence(Qt::META | Qt::ALT | Qt::Key_P));
    setShortcut(Shortcut(31, 0x1000), name);
    fakes.mainQueue->runPending();
    EXPECT_EQ(item.shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));

    MenuItemShortcut::bind(&item, std::nullopt);
    EXPECT_TRUE(item.shortcut().isEmpty());
    setShortcut(Shortcut(34, 0x900), name);
    fakes.mainQueue->runPending();
    EXPECT_TRUE(item.shortcut().isEmpty()) << "the old observer is gone";
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
    for (const auto& entry : SpecialKeys::table()) {
        EXPECT_TRUE(evdevCode(entry.keyCode)) << entry.keyCode;
    }
}

} // namespace
