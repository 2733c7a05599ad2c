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

} // namespace
} // namespace quorvale
