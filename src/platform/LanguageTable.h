#pragma once

#include "common/Result.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace quorvale {

// Recognition language identifiers ("de-DE", "zh-Hans") against the engine's data
// files ("deu", "chi_sim") and the Debian packages that ship them.
class LanguageTable {
public:
    struct Entry {
        QString identifier;
        QString traineddata;
    };

    // Every language Debian packages data for, the preferred identifier of a language
    // first (lookups by bare language take the first match).
    static const std::vector<Entry>& entries();

    static std::optional<QString> identifierForTraineddata(const QString& traineddata);
    // Exact identifiers in any case and with "_" or "-"; otherwise the closest entry of
    // the same language and script ("de", "en-GB", "zh-TW", "sr-Latn-RS").
    static std::optional<QString> traineddataForIdentifier(const QString& identifier);
    static QString packageForTraineddata(const QString& traineddata);
    // The data most used for a script as the engine's script detector names it
    // ("Latin" gives "eng", "Cyrillic" "rus"); nothing for a script without one.
    static std::optional<QString> traineddataForScript(const QString& script);

    // "de-DE,en-US", "deu+eng" or a mix; the identifiers in order, without repeats, or a
    // message naming every entry that is not a language.
    static Result<QStringList, QString> parseList(const QString& text);

    // English display name; nothing when no name is known for the language.
    static std::optional<QString> englishName(const QString& identifier);
};

} // namespace quorvale
