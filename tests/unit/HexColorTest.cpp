#include "SharedLib/HexColor.h"

#include <gtest/gtest.h>

namespace quorvale {
namespace {

struct HexCase {
    const char16_t* input;
    int red, green, blue, alpha;
};

void PrintTo(const HexCase& c, std::ostream* os) {
    *os << '"' << QString::fromUtf16(c.input).toStdString() << '"';
}

class HexColorTest : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexColorTest, ReadsComponents) {
    const HexCase& c = GetParam();
    const QColor color = colorFromHex(QStringView(c.input));
    EXPECT_EQ(color.toRgb(), color);
    EXPECT_EQ(color.red(), c.red);
    EXPECT_EQ(color.green(), c.green);
    EXPECT_EQ(color.blue(), c.blue);
    EXPECT_EQ(color.alpha(), c.alpha);
}

INSTANTIATE_TEST_SUITE_P(Digits, HexColorTest,
                         ::testing::Values(HexCase{u"#656565", 101, 101, 101, 255},
                                           HexCase{u"FF8000", 255, 128, 0, 255},
                                           HexCase{u"0a0B0c", 10, 11, 12, 255},
                                           // Eight digits put alpha first.
                                           HexCase{u"80FF0000", 255, 0, 0, 128},
                                           HexCase{u"#00123456", 0x12, 0x34, 0x56, 0},
                                           // Three digits double each one.
                                           HexCase{u"#f80", 255, 136, 0, 255},
                                           HexCase{u"abc", 170, 187, 204, 255},
                                           HexCase{u"000", 0, 0, 0, 255}));

INSTANTIATE_TEST_SUITE_P(JunkAround, HexColorTest,
                         ::testing::Values(HexCase{u"  #656565  ", 101, 101, 101, 255},
                                           HexCase{u"##(123456);", 0x12, 0x34, 0x56, 255},
                                           HexCase{u"\t#FFF\n", 255, 255, 255, 255},
                                           HexCase{u"--000--", 0, 0, 0, 255}));

INSTANTIATE_TEST_SUITE_P(
    UnreadableIsOpaqueWhite, HexColorTest,
    ::testing::Values(
        HexCase{u"", 255, 255, 255, 255}, HexCase{u"#", 255, 255, 255, 255},
        HexCase{u"#12", 255, 255, 255, 255}, HexCase{u"#1234", 255, 255, 255, 255},
        HexCase{u"#12345", 255, 255, 255, 255}, HexCase{u"#1234567", 255, 255, 255, 255},
        HexCase{u"#123456789", 255, 255, 255, 255},
        // Only the ends are stripped: junk inside counts and breaks the number.
        HexCase{u"#12 456", 255, 255, 255, 255}, HexCase{u"#GGGGGG", 255, 255, 255, 255},
        HexCase{u"0x1234", 255, 255, 255, 255}, HexCase{u"+12345", 255, 255, 255, 255},
        HexCase{u"zzz", 255, 255, 255, 255}, HexCase{u"#ÄBC", 255, 255, 255, 255}));

} // namespace
} // namespace quorvale
