#include "recognition/QuotePairs.h"

#include <gtest/gtest.h>

namespace quorvale {
namespace {

TEST(QuotePairsTest, OpeningQuotesClosedByAnApostropheWereBackticks) {
    struct Case {
        QString read;
        QString expected;
    };
    const std::vector<Case> cases = {
        {u"commands \u2018show w' and \u201cshow c'"_qs, u"commands `show w' and `show c'"_qs},
        {u"\u2018show c'; they could even be"_qs, u"`show c'; they could even be"_qs},
        // Typography as it is meant stays.
        {u"a \u201cquoted\u201d word and \u2018single\u2019 ones"_qs,
         u"a \u201cquoted\u201d word and \u2018single\u2019 ones"_qs},
        {u"it\u2019s the user\u2019s file"_qs, u"it\u2019s the user\u2019s file"_qs},
        {u"\u2018a' then \u2018b\u2019"_qs, u"`a' then \u2018b\u2019"_qs},
        // An opening quote with no mark after it, or a double one next.
        {u"unclosed \u2018quote"_qs, u"unclosed \u2018quote"_qs},
        {u"\u2018x\" and y'"_qs, u"\u2018x\" and y'"_qs},
        {"plain 'ascii' text", "plain 'ascii' text"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QuotePairs::restoreBackticks(c.read), c.expected) << c.read.toStdString();
    }
}

} // namespace
} // namespace quorvale
