#include "app/CommandLine.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using quorvale::CommandLine;

namespace {

// The manual page's running text with the roff markup taken out.
QString manPageText() {
    QFile file(QUORVALE_SOURCE_DIR "/resources/desktop/quorvale.1.in");
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList words;
    const QRegularExpression quoted(R"re("([^"]*)"|(\S+))re");
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        if (!line.startsWith('.')) {
            words << line;
            continue;
        }
        const QString macro = line.section(' ', 0, 0);
        QStringList arguments;
        for (const auto& match : quoted.globalMatch(line.section(' ', 1))) {
            arguments << (match.captured(1).isNull() ? match.captured(2) : match.captured(1));
        }
        // .BR, .IR, .BI and the like alternate fonts without spaces between their arguments.
        const bool alternating = macro.size() == 3 && macro != ".TH" && macro != ".SH";
        words << arguments.join(alternating ? "" : " ");
    }
    QString text = words.join(' ');
    text.replace(QRegularExpression(R"(\\f[BIRP])"), "");
    text.replace("\\-", "-").replace("\\(lq", "\"").replace("\\(rq", "\"");
    return text.simplified();
}

// Each description of the help text, its continuation lines joined, and each prose sentence.
QStringList helpPhrases() {
    constexpr int kDescriptionColumn = 28;
    QStringList phrases;
    for (const QString& line : CommandLine::helpText().split('\n')) {
        if (line.isEmpty() || line.startsWith("Usage:") || line.endsWith(':')) {
            if (line.endsWith(':') && line.contains(' ')) {
                phrases << line; // prose that introduces a list
            }
            continue;
        }
        if (!line.startsWith("  ")) {
            phrases << line;
            continue;
        }
        const QString description = line.mid(kDescriptionColumn).trimmed();
        if (line.left(kDescriptionColumn).trimmed().isEmpty() && !phrases.isEmpty()) {
            phrases.last() += ' ' + description;
        } else {
            phrases << (description.isEmpty() ? line.trimmed() : description);
        }
    }
    return phrases;
}

TEST(ManPageTest, SaysWhatTheHelpSays) {
    const QString man = manPageText();
    ASSERT_FALSE(man.isEmpty());
    const QStringList phrases = helpPhrases();
    ASSERT_GT(phrases.size(), 8);
    for (const QString& phrase : phrases) {
        EXPECT_TRUE(man.contains(phrase.simplified())) << phrase.toStdString();
    }
}

} // namespace
