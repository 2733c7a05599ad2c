#include "recognition/ChromeTokens.h"

#include <gtest/gtest.h>

namespace quorvale {
namespace {

platform::EngineWord word(const QString& text, float confidence, int blanksBefore = 1) {
    return {text, {}, confidence, blanksBefore, {}};
}

platform::EngineLine line(const QString& text, std::vector<platform::EngineWord> words) {
    platform::EngineLine read;
    read.text = text;
    read.words = std::move(words);
    return read;
}

TEST(ChromeTokensTest, UnsureSymbolsAndGuessesGoSureWordsStay) {
    struct Case {
        const char* name;
        platform::EngineLine read;
        QStringList kept; // texts of the lines left
    };
    const std::vector<Case> cases = {
        {"an icon before a label",
         line("v COMMAND", {word("v", 7), word("COMMAND", 91)}),
         {"COMMAND"}},
        {"a submenu arrow after one",
         line("Recent Files  >", {word("Recent", 93), word("Files", 92), word(">", 21, 2)}),
         {"Recent Files"}},
        {"a junk line from a title bar's edge", line("o e", {word("o", 5), word("e", 8)}), {}},
        {"a title bar's icon and guesses go as a whole line",
         line("E c GST i", {word("E", 64), word("c", 0), word("GST", 0), word("i", 0)}),
         {}},
        {"a lone unsure word is not a row of chrome", line("*f", {word("*f", 4)}), {"*f"}},
        {"sure symbols and unsure words are text",
         line("a  & b -> c */ USE", {word("a", 95), word("&", 88, 2), word("b", 55), word("->", 75),
                                     word("c", 90), word("*/", 32), word("USE", 12)}),
         {"a  & b -> c */ USE"}},
        {"spaces between the words left follow the engine's",
         line("x  [#  y", {word("x", 90), word("[#", 20, 2), word("y", 90, 3)}),
         {"x   y"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<platform::EngineLine> lines = {c.read};
        ChromeTokens::drop(lines);
        QStringList texts;
        for (const auto& l : lines) {
            texts << l.text;
        }
        EXPECT_EQ(texts, c.kept);
    }
}

TEST(ChromeTokensTest, TheTopLineLosesTheButtonsFarBeyondItsTitle) {
    struct Case {
        const char* name;
        std::vector<std::pair<QString, QRect>> words;
        QString kept;
    };
    const std::vector<Case> cases = {
        {"minimise, maximise and close",
         {{"Active", {10, 0, 60, 20}},
          {"-", {300, 8, 10, 4}},
          {"o", {320, 4, 10, 10}},
          {"x", {340, 4, 10, 10}}},
         "Active"},
        {"buttons the engine joined into one word",
         {{"Active", {10, 0, 60, 20}}, {"rr", {300, 6, 96, 12}}},
         "Active"},
        {"a word far beyond the title",
         {{"File", {10, 0, 40, 20}}, {"Help", {300, 4, 40, 14}}},
         "File Help"},
        {"marks close to the text",
         {{"Size", {10, 0, 40, 20}}, {"x", {60, 4, 10, 10}}, {"y", {80, 4, 10, 10}}},
         "Size x y"},
        {"digits in a table's columns",
         {{"Files", {10, 0, 50, 20}}, {"3", {300, 4, 10, 14}}, {"5", {340, 4, 10, 14}}},
         "Files 3 5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::EngineLine top;
        QStringList texts;
        for (const auto& [text, box] : c.words) {
            top.words.push_back({text, box, 90, 1, {}});
            top.box |= box;
            texts << text;
        }
        top.text = texts.join(' ');
        platform::EngineLine below = line("text", {word("text", 90)});
        below.box = {10, 40, 40, 20};
        std::vector<platform::EngineLine> lines = {below, top};
        ChromeTokens::drop(lines);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[1].text, c.kept);
        EXPECT_EQ(lines[0].text, "text");
    }
}

TEST(ChromeTokensTest, ADropDownsArrowGoesALetterOnTheBaselineStays) {
    struct Case {
        const char* name;
        QString last;
        int bottom; // of the last word; the line's baseline is at 30
        QString kept;
    };
    const std::vector<Case> cases = {
        {"an arrow in the middle of the line", "v", 25, "Letzte Anderung"},
        {"one read as a capital", "Y", 26, "Letzte Anderung"},
        {"a letter v", "v", 30, "Letzte Anderung v"},
        {"a mark raised by a pixel", "y", 29, "Letzte Anderung y"},
        {"another raised mark", "'", 20, "Letzte Anderung '"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::EngineLine read;
        read.baseline = 30;
        for (const auto& [text, box] : {std::pair{QString("Letzte"), QRect(0, 10, 60, 21)},
                                        {"Anderung", QRect(70, 10, 90, 21)},
                                        {c.last, QRect(180, c.bottom - 10, 10, 11)}}) {
            read.words.push_back({text, box, 90, 1, {{text, box, 90}}});
        }
        read.text = "Letzte Anderung " + c.last;
        std::vector<platform::EngineLine> lines = {read};
        ChromeTokens::drop(lines);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].text, c.kept);
    }
}

} // namespace
} // namespace quorvale
