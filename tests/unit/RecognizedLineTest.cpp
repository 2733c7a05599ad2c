#include "recognition/RecognizedLine.h"

#include <gtest/gtest.h>

namespace quorvale {
namespace {

constexpr int kCell = 10;

// Builds a line as the engine reports it: each character of `read` in its own cell
// (monospaced), words split at spaces; `blanks` is the engine's count of spaces between
// words, whatever the cells say.
RecognizedLine engineLine(const QString& read, int blanks = 1) {
    RecognizedLine line;
    bool wordStart = true;
    for (int i = 0; i < read.size(); ++i) {
        if (read[i] == QLatin1Char(' ')) {
            wordStart = true;
            continue;
        }
        line.addGlyph(QString(read[i]), QRect(i * kCell + 2, 0, kCell - 4, 14), wordStart, blanks);
        wordStart = false;
    }
    return line;
}

QRect cells(int first, int count) {
    return QRect(first * kCell, 18, count * kCell, 2);
}

TEST(RecognizedLineTest, StrokesBecomeUnderscoresInPlaceOfWhatTheEngineRead) {
    struct Case {
        const char* name;
        QString read;
        std::vector<QRect> strokes;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"read as a space", "va list", {cells(2, 1)}, "va_list"},
        {"read as spaces around a dash", "int _ fd", {cells(4, 2)}, "int __fd"},
        {"leading, read as nothing", "  arg", {cells(0, 2)}, "__arg"},
        {"trailing, read as a dash", "attribute—", {cells(9, 2)}, "attribute__"},
        {"already read", "z_g", {cells(1, 1)}, "z_g"},
        {"several", "off64 t   len", {cells(5, 1), cells(8, 2)}, "off64_t __len"},
        {"none: the engine's text", "no strokes", {}, "no strokes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(engineLine(c.read).text(c.strokes), c.expected);
    }
}

TEST(RecognizedLineTest, MonospacedGapsCountTheirCells) {
    // The engine says one blank where the grid shows four.
    const RecognizedLine line = engineLine("#    define xyz", 1);
    ASSERT_TRUE(line.cellWidth());
    EXPECT_NEAR(*line.cellWidth(), kCell, 0.01);
    EXPECT_EQ(line.text({}), "#    define xyz");
}

TEST(RecognizedLineTest, ProportionalTextKeepsTheEngineBlanks) {
    RecognizedLine line;
    const std::vector<std::pair<const char*, QRect>> glyphs = {
        {"W", QRect(0, 0, 14, 12)}, {"i", QRect(15, 0, 3, 12)}, {"d", QRect(20, 0, 7, 12)},
        {"e", QRect(29, 0, 7, 12)}, {"l", QRect(38, 0, 2, 12)}, {"y", QRect(42, 0, 7, 12)},
        {"s", QRect(60, 0, 6, 12)}, {"o", QRect(68, 0, 7, 12)},
    };
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        line.addGlyph(glyphs[i].first, glyphs[i].second, i == 0 || i == 6, i == 6 ? 2 : 0);
    }
    EXPECT_FALSE(line.cellWidth());
    EXPECT_EQ(line.text({}), "Widely  so");
}

TEST(RecognizedLineTest, PitchAndHeightOfFewGlyphsStaySane) {
    RecognizedLine empty;
    EXPECT_EQ(empty.text({}), "");
    EXPECT_EQ(empty.pitch(), 0);

    RecognizedLine single;
    single.addGlyph("x", QRect(0, 0, 8, 10), true, 0);
    EXPECT_GT(single.pitch(), 0);
    EXPECT_FALSE(single.cellWidth());
    const QString text = single.text({cells(2, 1)});
    EXPECT_TRUE(text.startsWith("x ")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("_")) << text.toStdString();
}

} // namespace
} // namespace quorvale
