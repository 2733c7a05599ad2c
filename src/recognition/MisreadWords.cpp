#include "recognition/MisreadWords.h"

#include <QRegularExpression>

namespace quorvale {
namespace {

// A modifier, as read, then the mark that joins it to the next key. A "t" joins only
// before a key's capital or digit, as no word goes on that way after a modifier.
const QRegularExpression& modifierThenJoin() {
    static const QRegularExpression pattern(
        QStringLiteral(R"(\G(Ctr[lIi1|]|Shift|Alt|Super)(\+|t(?=[A-Z0-9])))"));
    return pattern;
}

// F1 to F12 with some of their ones read as letters; at least one digit must be left, or
// it may be a word.
const QRegularExpression& functionKey() {
    static const QRegularExpression pattern(QStringLiteral(R"(^F(?=.*\d)[1Iil|][0-2Iil|]?$)"));
    return pattern;
}

QString restoreWord(const QString& word) {
    if (functionKey().match(word).hasMatch()) {
        QString key = word;
        for (qsizetype i = 1; i < key.size(); ++i) {
            if (!key[i].isDigit()) {
                key[i] = u'1';
            }
        }
        return key;
    }
    QString keys;
    qsizetype at = 0;
    for (auto match = modifierThenJoin().match(word);
         match.hasMatch() && match.capturedEnd() < word.size();
         match = modifierThenJoin().match(word, at)) {
        const QString modifier = match.captured(1);
        keys += (modifier.startsWith(u'C') ? QStringLiteral("Ctrl") : modifier) + u'+';
        at = match.capturedEnd();
    }
    return at == 0 ? word : keys + word.mid(at);
}

} // namespace

QString MisreadWords::restoreShortcutKeys(const QString& line) {
    static const QRegularExpression words(QStringLiteral(R"(\S+)"));
    QString restored;
    qsizetype at = 0;
    for (auto it = words.globalMatch(line); it.hasNext();) {
        const auto match = it.next();
        restored += line.mid(at, match.capturedStart() - at) + restoreWord(match.captured());
        at = match.capturedEnd();
    }
    return restored + line.mid(at);
}

QString MisreadWords::restoreSectionSigns(QString line) {
    const auto isNamePart = [&line](qsizetype i) {
        return i >= 0 && i < line.size() &&
               (line[i] == u'_' || (line[i].isLetter() && line[i].unicode() < 0x80));
    };
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'\u00a7' && (isNamePart(i - 1) || isNamePart(i + 1))) {
            line[i] = u'S';
        }
    }
    return line;
}

} // namespace quorvale
