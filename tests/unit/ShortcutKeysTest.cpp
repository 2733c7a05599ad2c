#include "recognition/ShortcutKeys.h"

#include <gtest/gtest.h>

namespace quorvale {
namespace {

TEST(ShortcutKeysTest, KeyNamesMisreadInAChordAreRestored) {
    const std::vector<std::pair<QString, QString>> cases = {
        {"Arrow X Displacement   Ctri+V", "Arrow X Displacement   Ctrl+V"},
        {"Perform an upgrade  CtrltPage Up", "Perform an upgrade  Ctrl+Page Up"},
        {"hints Ctr1+ShifttS", "hints Ctrl+Shift+S"},
        {"analyse a pattern   Fi1", "analyse a pattern   F11"},
        {"Fl0 Fi2 F1", "F10 F12 F1"},
        // Words, and key names not joined to a key, stay.
        {"Ctri Altitude Shifty Alt+ Ctrl+tab Fil Fi FI",
         "Ctri Altitude Shifty Alt+ Ctrl+tab Fil Fi FI"},
    };
    for (const auto& [read, expected] : cases) {
        EXPECT_EQ(ShortcutKeys::restore(read), expected) << read.toStdString();
    }
}

} // namespace
} // namespace quorvale
