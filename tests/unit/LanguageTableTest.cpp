#include "platform/LanguageTable.h"

#include <QSet>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quorvale {
namespace {

TEST(LanguageTableTest, EveryRowRoundTripsAndHasAnEnglishName) {
    QSet<QString> identifiers;
    QSet<QString> traineddata;
    for (const auto& entry : LanguageTable::entries()) {
        SCOPED_TRACE(entry.identifier.toStdString());
        EXPECT_FALSE(identifiers.contains(entry.identifier));
        EXPECT_FALSE(traineddata.contains(entry.traineddata));
        identifiers.insert(entry.identifier);
        traineddata.insert(entry.traineddata);

        EXPECT_EQ(LanguageTable::identifierForTraineddata(entry.traineddata), entry.identifier);
        EXPECT_EQ(LanguageTable::traineddataForIdentifier(entry.identifier), entry.traineddata);
        EXPECT_EQ(LanguageTable::traineddataForIdentifier(entry.identifier.toLower()),
                  entry.traineddata);
        EXPECT_TRUE(LanguageTable::englishName(entry.identifier).has_value());
        const auto parsed = LanguageTable::parseList(entry.traineddata);
        ASSERT_TRUE(parsed.isSuccess());
        EXPECT_EQ(parsed.value(), QStringList{entry.identifier});
    }
    // Every language package of Debian 12, script packs aside.
    EXPECT_EQ(LanguageTable::entries().size(), 123u);
}

TEST(LanguageTableTest, LooseIdentifiersFindTheClosestLanguage) {
    // Private-use data ("-x-vert") is only chosen by name.
    const std::vector<std::pair<QString, std::optional<QString>>> cases = {
        {"de", "deu"},
        {"pt-BR", "por"},
        {"DE-de", "deu"},
        {"de_DE", "deu"},
        {" de-DE ", "deu"},
        {"zh", "chi_sim"},
        {"zh-TW", "chi_tra"},
        {"zh-hant", "chi_tra"},
        {"sr", "srp"},
        {"sr-Latn-RS", "srp_latn"},
        {"de-Latf", "frk"},
        {"JA-jp-X-VERT", "jpn_vert"},
        {"ja-x-vert", std::nullopt},
        {"xx", std::nullopt},
        {"", std::nullopt},
        {"de-DE garbage", std::nullopt},
        {"eng", "eng"}};
    for (const auto& [identifier, traineddata] : cases) {
        EXPECT_EQ(LanguageTable::traineddataForIdentifier(identifier), traineddata)
            << '"' << identifier.toStdString() << '"';
    }
}

TEST(LanguageTableTest, DataNamesIgnoreCaseAndPackagesAreNamedTheDebianWay) {
    EXPECT_EQ(LanguageTable::identifierForTraineddata("DEU"), "de-DE");
    EXPECT_EQ(LanguageTable::identifierForTraineddata("osd"), std::nullopt);
    const std::vector<std::pair<QString, QString>> cases = {
        {"chi_tra_vert", "tesseract-ocr-chi-tra-vert"}, {"Deu", "tesseract-ocr-deu"}};
    for (const auto& [traineddata, package] : cases) {
        EXPECT_EQ(LanguageTable::packageForTraineddata(traineddata), package);
    }
}

TEST(LanguageTableTest, DetectedScriptsNameTheirMainLanguage) {
    const std::vector<std::pair<QString, std::optional<QString>>> cases = {
        {"Latin", "eng"}, {"Han", "chi_sim"}, {"Fraktur", std::nullopt}, {"latin", std::nullopt}};
    for (const auto& [script, traineddata] : cases) {
        EXPECT_EQ(LanguageTable::traineddataForScript(script), traineddata) << script.toStdString();
    }
}

TEST(LanguageTableTest, ListsParseInEitherFormAndKeepTheirOrder) {
    const std::vector<std::pair<QString, QStringList>> cases = {
        {"deu+eng", {"de-DE", "en-US"}},
        {"eng+de-DE", {"en-US", "de-DE"}},
        {" fra , spa+chi_sim ", {"fr-FR", "es-ES", "zh-Hans"}},
        {"de,deu,de-DE", {"de-DE"}},
        {"zh-TW", {"zh-Hant"}},
        {",+,", {}}};
    for (const auto& [text, identifiers] : cases) {
        const auto parsed = LanguageTable::parseList(text);
        ASSERT_TRUE(parsed.isSuccess()) << text.toStdString();
        EXPECT_EQ(parsed.value(), identifiers) << text.toStdString();
    }
}

TEST(LanguageTableTest, UnknownEntriesAreAllNamedInTheError) {
    const auto one = LanguageTable::parseList("deu+klingon");
    ASSERT_FALSE(one.isSuccess());
    EXPECT_TRUE(one.error().startsWith("Unknown recognition language \"klingon\""))
        << one.error().toStdString();

    const auto two = LanguageTable::parseList("xx,eng,de-DE-,yy");
    ASSERT_FALSE(two.isSuccess());
    EXPECT_TRUE(two.error().contains("\"xx\"")) << two.error().toStdString();
    EXPECT_TRUE(two.error().contains("\"yy\""));
    EXPECT_TRUE(two.error().contains("\"de-DE-\""));
    EXPECT_FALSE(two.error().contains("\"eng\""));
}

TEST(LanguageTableTest, EnglishNamesComeFromTheLocaleData) {
    const std::vector<std::pair<QString, std::optional<QString>>> cases = {
        {"de_DE", "German (Germany)"},
        {"zh-Hans", "Chinese (Simplified)"},
        {"fr", "French"},
        {"zz", std::nullopt},
        {"", std::nullopt},
        {"!!", std::nullopt}};
    for (const auto& [identifier, name] : cases) {
        EXPECT_EQ(LanguageTable::englishName(identifier), name) << identifier.toStdString();
    }
}

} // namespace
} // namespace quorvale
