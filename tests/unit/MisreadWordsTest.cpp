#include "recognition/MisreadWords.h"

#include <gtest/gtest.h>

namespace quorvale {
namespace {

TEST(MisreadWordsTest, KeyNamesMisreadInAChordAreRestored) {
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
        EXPECT_EQ(MisreadWords::restoreShortcutKeys(read), expected) << read.toStdString();
    }
}

TEST(MisreadWordsTest, SectionSignsInsideNamesWereS) {
    EXPECT_EQ(MisreadWords::restoreSectionSigns(u"define S_ISVTX __\u00a7_ISVTX \u00a7X"_qs),
              "define S_ISVTX __S_ISVTX SX");
    EXPECT_EQ(MisreadWords::restoreSectionSigns(u"nach \u00a7 5 und \u00a712, \u00a7\u00a7 3"_qs),
              u"nach \u00a7 5 und \u00a712, \u00a7\u00a7 3"_qs);
}

} // namespace
} // namespace quorvale
