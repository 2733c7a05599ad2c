#include "recognition/WordGaps.h"

#include <gtest/gtest.h>

namespace quorvale {
namespace {

constexpr int kCell = 10; // 8 columns of ink, 2 blank
constexpr int kHeight = 20;

// One engine word per `|`-separated part of `read`, each letter drawn as a block in its
// cell; a space inside a part is a blank cell the engine did not take for a word gap.
// `lag` shifts the engine's boxes off the ink; `ink` is the letters' grey level.
std::vector<platform::EngineLine> drawn(QImage& page, const QString& read, int lag, int ink) {
    page = QImage(read.size() * kCell + 20, kHeight + 20, QImage::Format_Grayscale8);
    page.fill(255);
    platform::EngineLine line;
    line.words.push_back({});
    for (int i = 0; i < read.size(); ++i) {
        const QRect box(10 + i * kCell, 10, kCell - 2, kHeight);
        if (read[i] == QLatin1Char('|')) {
            line.words.push_back({});
        } else if (read[i] != QLatin1Char(' ')) {
            for (int y = box.top(); y <= box.bottom(); ++y) {
                std::fill_n(page.scanLine(y) + box.left(), box.width(), uchar(ink));
            }
            line.words.back().symbols.push_back({QString(read[i]), box.translated(lag, 0), 90});
            line.words.back().text += read[i];
            line.words.back().box |= box.translated(lag, 0);
        }
        line.box |= box;
    }
    return {line};
}

TEST(WordGapsTest, SplitsWordsOnlyAtClearWordGaps) {
    struct Case {
        const char* name;
        QString read;
        QString expected;
        int lag = 0;
        int ink = 0;
    };
    const std::vector<Case> cases = {
        {"a space-wide blank", "ab cd", "ab cd"},
        {"two of them, grey text", "ab cd ef", "ab cd ef", 0, 160},
        {"the engine's own gaps stay", "ab|cd", "ab cd"},
        {"letters' gaps are no words", "abcd", "abcd"},
        {"boxes lagging their ink", "ab cd", "abcd", 4},
        {"between digits", "ab1 2", "ab12"},
        {"before a closing mark", "ab ,", "ab,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage page;
        std::vector<platform::EngineLine> lines = drawn(page, c.read, c.lag, c.ink);
        QString read = c.read;
        lines.front().text = read.replace(' ', "").replace('|', ' ');
        WordGaps::split(page, lines);
        EXPECT_EQ(lines.front().text, c.expected);
    }
}

TEST(WordGapsTest, LaggingBoxesTakeTheSpacesOfASecondReadingOfTheSameLetters) {
    const std::vector<std::pair<QString, QString>> cases = {{"ab cd", "ab cd"}, {"ab cl", "abcd"}};
    for (const auto& [again, expected] : cases) {
        QImage page;
        std::vector<platform::EngineLine> lines = drawn(page, "ab cd", 4, 0);
        lines.front().text = "abcd";
        WordGaps::split(page, lines, [&](const QImage& spaced) {
            EXPECT_GT(spaced.width(), page.width() - 20);
            platform::EngineLine line;
            for (const QString& word : again.split(' ')) {
                line.words.push_back({word, {}, 90, 1, {}});
            }
            return std::vector<platform::EngineLine>{line};
        });
        EXPECT_EQ(lines.front().text, expected);
    }
}

} // namespace
} // namespace quorvale
