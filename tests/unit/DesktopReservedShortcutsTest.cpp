#include "platform/linux/DesktopReservedShortcuts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using quorvale::platform::DesktopReservedShortcuts;
using Reserved = quorvale::platform::GlobalHotKeys::ReservedHotKey;

namespace {

TEST(DesktopReservedShortcuts, ParsesKdeKeySequencesAndGtkAccelerators) {
    struct Parsed {
        qint64 keyCode;
        qint64 modifiers;
    };
    const auto kde = &DesktopReservedShortcuts::parseKde;
    const auto gtk = &DesktopReservedShortcuts::parseGtk;
    const struct {
        decltype(kde) parse;
        const char* text;
        std::optional<Parsed> expected;
    } cases[] = {
        {kde, "Meta+E", Parsed{14, 0x100}},
        {kde, "Alt+F4", Parsed{118, 0x800}},
        {kde, "Ctrl+Alt+Del", Parsed{117, 0x1800}},
        {kde, "Meta+Shift+Left", Parsed{123, 0x300}},
        // The model has no code for Print: such entries are left out.
        {kde, "Print", std::nullopt},
        {kde, "Ctrl+F1", Parsed{122, 0x1000}},
        {kde, "Meta+1", Parsed{18, 0x100}},
        {kde, "none", std::nullopt},
        {kde, "", std::nullopt},
        {kde, "Ctrl+K, Ctrl+L", std::nullopt},
        {gtk, "<Super>e", Parsed{14, 0x100}},
        {gtk, "<Alt>F4", Parsed{118, 0x800}},
        {gtk, "<Primary><Alt>Delete", Parsed{117, 0x1800}},
        {gtk, "<Control><Shift>Escape", Parsed{53, 0x1200}},
        {gtk, "<Super>Page_Up", Parsed{116, 0x100}},
        {gtk, "<Alt>Tab", Parsed{48, 0x800}},
        {gtk, "<Hyper>x", std::nullopt},
        {gtk, "<Alt>", std::nullopt},
        {gtk, "<Alt>NotAKey", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::optional<Reserved> entry = c.parse(c.text);
        ASSERT_EQ(entry.has_value(), c.expected.has_value()) << c.text;
        if (entry) {
            EXPECT_TRUE(entry->enabled) << c.text;
            EXPECT_EQ(entry->keyCode, c.expected->keyCode) << c.text;
            EXPECT_EQ(entry->carbonModifiers, c.expected->modifiers) << c.text;
        }
    }
}

TEST(DesktopReservedShortcuts, ReadsWhatKdeAndXfceHaveInForce) {
    QTemporaryDir home;
    QFile kde(home.filePath("kglobalshortcutsrc"));
    ASSERT_TRUE(kde.open(QIODevice::WriteOnly));
    kde.write("[kwin]\n"
              "_k_friendly_name=KWin\n"
              "Window Close=Alt+F4,Alt+F4,Close Window\n"
              "Expose=Ctrl+F9\\tMeta+W,Ctrl+F9,Toggle Present Windows\n"
              "Kill Window=none,Meta+Ctrl+Esc,Kill Window\n");
    kde.close();
    const QString xfceDir = home.filePath("xfce4/xfconf/xfce-perchannel-xml");
    QDir().mkpath(xfceDir);
    QFile xfce(xfceDir + "/xfce4-keyboard-shortcuts.xml");
    ASSERT_TRUE(xfce.open(QIODevice::WriteOnly));
    xfce.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-keyboard-shortcuts" version="1.0">
  <property name="commands" type="empty">
    <property name="default" type="empty">
      <property name="&lt;Alt&gt;F1" type="string" value="xfce4-popup-applicationsmenu"/>
    </property>
    <property name="custom" type="empty">
      <property name="&lt;Super&gt;e" type="string" value="thunar"/>
      <property name="override" type="bool" value="true"/>
    </property>
  </property>
  <property name="xfwm4" type="empty">
    <property name="custom" type="empty">
      <property name="&lt;Alt&gt;F7" type="string" value="empty"/>
    </property>
  </property>
</channel>
)");
    xfce.close();

    const auto entries = DesktopReservedShortcuts::read(home.path());
    std::vector<std::tuple<bool, qint64, qint64>> seen;
    for (const Reserved& entry : entries) {
        seen.emplace_back(entry.enabled, entry.keyCode.value_or(-1),
                          entry.carbonModifiers.value_or(-1));
    }
    const std::vector<std::tuple<bool, qint64, qint64>> expected{
        {true, 118, 0x800}, {true, 101, 0x1000}, {true, 13, 0x100},
        {true, 14, 0x100},  {false, 98, 0x800},
    };
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(DesktopReservedShortcuts::read(home.filePath("nowhere")).empty());
}

} // namespace
