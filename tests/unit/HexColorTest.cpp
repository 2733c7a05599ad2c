#include "shared/HexColor.h"

#include <gtest/gtest.h>

namespace quorvale {
namespace {

TEST(HexColor, ReadsComponentsIgnoringJunkAtTheEnds) {
    const struct {
        const char16_t* input;
        int red, green, blue, alpha;
    } cases[] = {
        {u"#656565", 101, 101, 101, 255},
        {u"0a0B0c", 10, 11, 12, 255},
        // Eight digits put alpha first.
        {u"80FF0000", 255, 0, 0, 128},
        {u"#00123456", 0x12, 0x34, 0x56, 0},
        // Three digits double each one.
        {u"#f80", 255, 136, 0, 255},
        {u"abc", 170, 187, 204, 255},
        {u"  #656565  ", 101, 101, 101, 255},
        {u"##(123456);", 0x12, 0x34, 0x56, 255},
        {u"\t#FFF\n", 255, 255, 255, 255},
        {u"--000--", 0, 0, 0, 255},
    };
    for (const auto& c : cases) {
        // Equality also compares the colour model.
        EXPECT_EQ(colorFromHex(QStringView(c.input)), QColor(c.red, c.green, c.blue, c.alpha))
            << QString::fromUtf16(c.input).toStdString();
    }
}

TEST(HexColor, UnreadableIsOpaqueWhite) {
    // Only the ends are stripped: junk inside counts and breaks the number.
    for (const char16_t* input :
         {u"", u"#", u"#12", u"#1234", u"#12345", u"#1234567", u"#123456789", u"#12 456",
          u"#GGGGGG", u"0x1234", u"+12345", u"zzz", u"#ÄBC"}) {
        EXPECT_EQ(colorFromHex(QStringView(input)), QColor(Qt::white))
            << QString::fromUtf16(input).toStdString();
    }
}

} // namespace
} // namespace quorvale
