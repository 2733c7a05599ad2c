#include "recognition/UnderscoreStrokes.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace quorvale {
namespace {

// A line of "letters" (solid blocks standing on the baseline) in cells 10 px wide, with
// whatever else a case draws below it. Dark on a white page, like a prepared image.
constexpr int kCell = 10;
constexpr int kBaseline = 30;
constexpr int kLetterHeight = 14;

QImage lineImage(const QString& cells, const std::function<void(QPainter&)>& extra = {}) {
    QImage image(kCell * cells.size() + 40, 60, QImage::Format_Grayscale8);
    image.fill(255);
    QPainter painter(&image);
    for (int i = 0; i < cells.size(); ++i) {
        if (cells[i] != QLatin1Char(' ')) {
            painter.fillRect(20 + i * kCell + 2, kBaseline - kLetterHeight + 1, kCell - 4,
                             kLetterHeight, Qt::black);
        }
    }
    if (extra) {
        extra(painter);
    }
    return image;
}

UnderscoreStrokes::Line geometry(const QImage& image) {
    UnderscoreStrokes::Line line;
    line.box = QRect(20, kBaseline - kLetterHeight, image.width() - 40, kLetterHeight + 4);
    line.baseline = kBaseline;
    line.pitch = kCell;
    line.glyphHeight = kLetterHeight;
    line.lowestRow = image.height() - 1;
    return line;
}

// A stroke as an underscore in cells [first, first + count) at `depth` under the baseline.
auto underscore(int first, int count, int depth = 4, int thickness = 2, QColor ink = Qt::black) {
    return [=](QPainter& p) {
        p.fillRect(20 + first * kCell, kBaseline + depth, count * kCell, thickness, ink);
    };
}

TEST(UnderscoreStrokesTest, FindsUnderscoresStandingInTheirOwnCells) {
    struct Case {
        const char* name;
        QString cells;
        std::function<void(QPainter&)> draw;
        std::vector<int> counts; // underscores per stroke found, left to right
    };
    const std::vector<Case> cases = {
        {"between words", "ab cd", underscore(2, 1), {1}},
        {"doubled before a word", "   abc", underscore(0, 2), {2}},
        {"two places",
         "a b c",
         [](QPainter& p) { underscore(1, 1)(p), underscore(3, 1)(p); },
         {1, 1}},
        {"one pixel thin and faint", "ab cd", underscore(2, 1, 4, 1, QColor(120, 120, 120)), {1}},
        {"underline below letters", "abcde", underscore(0, 5), {}},
        {"stroke under a letter's cell only", "abcde", underscore(2, 1), {}},
        {"too short to be a character",
         "ab cd",
         [](QPainter& p) { p.fillRect(20 + 2 * kCell + 3, kBaseline + 4, 3, 2, Qt::black); },
         {}},
        {"too thick: a block, not a stroke", "ab cd", underscore(2, 1, 4, 8), {}},
        {"hanging from the baseline (a descender)", "ab cd", underscore(2, 1, 0, 6), {}},
        {"nothing below", "abcde", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = lineImage(c.cells, c.draw);
        const auto strokes = UnderscoreStrokes::find(image, geometry(image));
        std::vector<int> counts;
        for (const QRect& stroke : strokes) {
            counts.push_back(UnderscoreStrokes::count(stroke, kCell));
            EXPECT_GT(stroke.top(), kBaseline);
        }
        EXPECT_EQ(counts, c.counts);
    }
}

TEST(UnderscoreStrokesTest, TellsWhereAnythingIsDrawnUnderTheBaseline) {
    const QImage image = lineImage("ab cd", underscore(2, 1));
    EXPECT_TRUE(UnderscoreStrokes::inkUnder(image, geometry(image), 40, 49));
    EXPECT_FALSE(UnderscoreStrokes::inkUnder(image, geometry(image), 60, 69));
}

TEST(UnderscoreStrokesTest, StopsAboveTheNextLine) {
    // The top bar of a capital on the next line looks like a stroke from above.
    const QImage image = lineImage("ab cd", underscore(2, 1, 8));
    auto line = geometry(image);
    line.lowestRow = kBaseline + 7;
    EXPECT_TRUE(UnderscoreStrokes::find(image, line).empty());
}

TEST(UnderscoreStrokesTest, ImagesWithoutContrastOrGeometryGiveNothing) {
    QImage flat(100, 60, QImage::Format_Grayscale8);
    flat.fill(200);
    EXPECT_TRUE(UnderscoreStrokes::find(flat, geometry(flat)).empty());

    const QImage image = lineImage("ab cd", underscore(2, 1));
    auto line = geometry(image);
    line.pitch = 0;
    EXPECT_TRUE(UnderscoreStrokes::find(image, line).empty());
    line = geometry(image);
    line.baseline = image.height() + 10;
    EXPECT_TRUE(UnderscoreStrokes::find(image, line).empty());
    EXPECT_TRUE(UnderscoreStrokes::find(QImage(), geometry(image)).empty());
}

} // namespace
} // namespace quorvale
