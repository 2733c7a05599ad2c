#include "recognition/PunctuationShape.h"
#include "recognition/ScreenTextPreparation.h"

#include <QFontInfo>
#include <QPainter>
#include <gtest/gtest.h>

namespace quorvale {
namespace {

// Ink bounding box of a dark-on-light grey image.
QRect inkBox(const QImage& grey) {
    QRect box;
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < grey.width(); ++x) {
            if (grey.constScanLine(y)[x] < 128) {
                box = box.united(QRect(x, y, 1, 1));
            }
        }
    }
    return box;
}

QImage fromRows(const std::vector<const char*>& rows) {
    QImage grey(12, int(rows.size()) + 6, QImage::Format_Grayscale8);
    grey.fill(QColor(250, 250, 250));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        for (int x = 0; rows[y][x]; ++x) {
            if (rows[y][x] == '#') {
                grey.scanLine(int(y) + 3)[x + 3] = 20;
            }
        }
    }
    return grey;
}

// xterm's default bitmap font draws both marks three pixels tall.
TEST(PunctuationShapeTest, TerminalBitmapFullStopIsADotAndItsCommaIsNot) {
    const QImage fullStop = fromRows({".#.", "###", ".#."});
    const QImage comma = fromRows({"..##", "..#.", ".#.."});
    for (const bool enlarged : {false, true}) {
        SCOPED_TRACE(enlarged ? "enlarged" : "as drawn");
        const auto prepare = [enlarged](const QImage& grey) {
            return enlarged ? ScreenTextPreparation::enlarged(grey) : grey;
        };
        const QImage dot = prepare(fullStop);
        const QImage tail = prepare(comma);
        EXPECT_TRUE(PunctuationShape::isDot(dot, inkBox(dot)));
        EXPECT_FALSE(PunctuationShape::isDot(tail, inkBox(tail)));
    }
}

TEST(PunctuationShapeTest, MonospacedFontsKeepTheirCommasAndTs) {
    for (const char* family : {"DejaVu Sans Mono", "Liberation Mono", "Nimbus Mono PS"}) {
        if (QFontInfo(QFont(family)).family() != family) {
            continue;
        }
        for (int size = 11; size <= 16; ++size) {
            for (const char* mark : {".", ",", "I", "T"}) {
                SCOPED_TRACE(std::string(family) + " " + std::to_string(size) + " '" + mark + "'");
                QImage grey(3 * size, 2 * size, QImage::Format_Grayscale8);
                grey.fill(QColor(250, 250, 250));
                QPainter painter(&grey);
                QFont font(family);
                font.setPixelSize(size);
                painter.setFont(font);
                painter.setPen(QColor(30, 30, 30));
                painter.drawText(QPoint(size, size + size / 2), QString::fromLatin1(mark));
                painter.end();
                const QImage prepared = ScreenTextPreparation::enlarged(grey);
                const QRect box = inkBox(prepared);
                if (QChar(*mark).isLetter()) {
                    EXPECT_EQ(PunctuationShape::isSerifedI(prepared, box), *mark == 'I');
                } else {
                    EXPECT_EQ(PunctuationShape::isDot(prepared, box), *mark == '.');
                }
            }
        }
    }
}

} // namespace
} // namespace quorvale
