#include "platform/LanguageTable.h"

#include <unicode/uloc.h>
#include <unicode/ustring.h>

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>

namespace quorvale {
namespace {

// ICU's form of a BCP 47 tag; nothing unless the whole tag parses.
std::optional<QByteArray> icuLocaleId(const QString& tag) {
    const QByteArray bcp = tag.trimmed().replace(QLatin1Char('_'), QLatin1Char('-')).toUtf8();
    if (bcp.isEmpty()) {
        return std::nullopt;
    }
    char locale[ULOC_FULLNAME_CAPACITY] = {};
    int32_t parsed = 0;
    UErrorCode status = U_ZERO_ERROR;
    uloc_forLanguageTag(bcp.constData(), locale, sizeof locale, &parsed, &status);
    if (U_FAILURE(status) || parsed != bcp.size() || locale[0] == '\0') {
        return std::nullopt;
    }
    return QByteArray(locale);
}

// Language and script once ICU has filled in the likely rest ("zh-TW" → zh, Hant).
struct LanguageScript {
    QByteArray language;
    QByteArray script;
    bool privateUse = false;
    friend bool operator==(const LanguageScript& a, const LanguageScript& b) {
        return a.language == b.language && a.script == b.script;
    }
};

std::optional<LanguageScript> languageScript(const QString& tag) {
    const auto locale = icuLocaleId(tag);
    if (!locale) {
        return std::nullopt;
    }
    char maximized[ULOC_FULLNAME_CAPACITY] = {};
    char language[ULOC_LANG_CAPACITY] = {};
    char script[ULOC_SCRIPT_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    uloc_addLikelySubtags(locale->constData(), maximized, sizeof maximized, &status);
    uloc_getLanguage(maximized, language, sizeof language, &status);
    uloc_getScript(maximized, script, sizeof script, &status);
    if (U_FAILURE(status) || language[0] == '\0') {
        return std::nullopt;
    }
    return LanguageScript{language, script, locale->contains("x=")};
}

const std::vector<LanguageScript>& entryLanguageScripts() {
    static const std::vector<LanguageScript> keys = [] {
        std::vector<LanguageScript> result;
        for (const auto& entry : LanguageTable::entries()) {
            result.push_back(languageScript(entry.identifier).value_or(LanguageScript{}));
        }
        return result;
    }();
    return keys;
}

QString normalizedTag(const QString& tag) {
    return tag.trimmed().replace(QLatin1Char('_'), QLatin1Char('-'));
}

} // namespace

const std::vector<LanguageTable::Entry>& LanguageTable::entries() {
    // Private-use tags mark the vertical and historic data; ICU has no subtag for them.
    static const std::vector<Entry> table = {
        {"en-US", "eng"},
        {"af-ZA", "afr"},
        {"am-ET", "amh"},
        {"ar-SA", "ara"},
        {"as-IN", "asm"},
        {"az-AZ", "aze"},
        {"az-Cyrl", "aze_cyrl"},
        {"be-BY", "bel"},
        {"bn-BD", "ben"},
        {"bo-CN", "bod"},
        {"bs-BA", "bos"},
        {"br-FR", "bre"},
        {"bg-BG", "bul"},
        {"ca-ES", "cat"},
        {"ceb-PH", "ceb"},
        {"cs-CZ", "ces"},
        {"zh-Hans", "chi_sim"},
        {"zh-Hans-x-vert", "chi_sim_vert"},
        {"zh-Hant", "chi_tra"},
        {"zh-Hant-x-vert", "chi_tra_vert"},
        {"chr-US", "chr"},
        {"co-FR", "cos"},
        {"cy-GB", "cym"},
        {"da-DK", "dan"},
        {"de-DE", "deu"},
        {"dv-MV", "div"},
        {"dz-BT", "dzo"},
        {"el-GR", "ell"},
        {"enm", "enm"},
        {"eo", "epo"},
        {"et-EE", "est"},
        {"eu-ES", "eus"},
        {"fo-FO", "fao"},
        {"fa-IR", "fas"},
        {"fil-PH", "fil"},
        {"fi-FI", "fin"},
        {"fr-FR", "fra"},
        {"de-Latf", "frk"},
        {"frm", "frm"},
        {"fy-NL", "fry"},
        {"gd-GB", "gla"},
        {"ga-IE", "gle"},
        {"gl-ES", "glg"},
        {"grc", "grc"},
        {"gu-IN", "guj"},
        {"ht-HT", "hat"},
        {"he-IL", "heb"},
        {"hi-IN", "hin"},
        {"hr-HR", "hrv"},
        {"hu-HU", "hun"},
        {"hy-AM", "hye"},
        {"iu-CA", "iku"},
        {"id-ID", "ind"},
        {"is-IS", "isl"},
        {"it-IT", "ita"},
        {"it-x-old", "ita_old"},
        {"jv-ID", "jav"},
        {"ja-JP", "jpn"},
        {"ja-JP-x-vert", "jpn_vert"},
        {"kn-IN", "kan"},
        {"ka-GE", "kat"},
        {"ka-x-old", "kat_old"},
        {"kk-KZ", "kaz"},
        {"km-KH", "khm"},
        {"ky-KG", "kir"},
        {"kmr-TR", "kmr"},
        {"ko-KR", "kor"},
        {"ko-KR-x-vert", "kor_vert"},
        {"lo-LA", "lao"},
        {"la", "lat"},
        {"lv-LV", "lav"},
        {"lt-LT", "lit"},
        {"lb-LU", "ltz"},
        {"ml-IN", "mal"},
        {"mr-IN", "mar"},
        {"mk-MK", "mkd"},
        {"mt-MT", "mlt"},
        {"mn-MN", "mon"},
        {"mi-NZ", "mri"},
        {"ms-MY", "msa"},
        {"my-MM", "mya"},
        {"ne-NP", "nep"},
        {"nl-NL", "nld"},
        {"no-NO", "nor"},
        {"oc-FR", "oci"},
        {"or-IN", "ori"},
        {"pa-IN", "pan"},
        {"pl-PL", "pol"},
        {"pt-BR", "por"},
        {"ps-AF", "pus"},
        {"qu-PE", "que"},
        {"ro-RO", "ron"},
        {"ru-RU", "rus"},
        {"sa-IN", "san"},
        {"si-LK", "sin"},
        {"sk-SK", "slk"},
        {"sl-SI", "slv"},
        {"sd-PK", "snd"},
        {"es-ES", "spa"},
        {"es-x-old", "spa_old"},
        {"sq-AL", "sqi"},
        {"sr-Cyrl", "srp"},
        {"sr-Latn", "srp_latn"},
        {"su-ID", "sun"},
        {"sw-TZ", "swa"},
        {"sv-SE", "swe"},
        {"syr-SY", "syr"},
        {"ta-IN", "tam"},
        {"tt-RU", "tat"},
        {"te-IN", "tel"},
        {"tg-TJ", "tgk"},
        {"th-TH", "tha"},
        {"ti-ET", "tir"},
        {"to-TO", "ton"},
        {"tr-TR", "tur"},
        {"ug-CN", "uig"},
        {"uk-UA", "ukr"},
        {"ur-PK", "urd"},
        {"uz-UZ", "uzb"},
        {"uz-Cyrl", "uzb_cyrl"},
        {"vi-VN", "vie"},
        {"yi", "yid"},
        {"yo-NG", "yor"},
    };
    return table;
}

std::optional<QString> LanguageTable::identifierForTraineddata(const QString& traineddata) {
    const QString name = traineddata.trimmed();
    for (const auto& entry : entries()) {
        if (entry.traineddata.compare(name, Qt::CaseInsensitive) == 0) {
            return entry.identifier;
        }
    }
    return std::nullopt;
}

std::optional<QString> LanguageTable::traineddataForIdentifier(const QString& identifier) {
    const QString tag = normalizedTag(identifier);
    for (const auto& entry : entries()) {
        if (entry.identifier.compare(tag, Qt::CaseInsensitive) == 0) {
            return entry.traineddata;
        }
    }
    const auto wanted = languageScript(tag);
    if (!wanted || wanted->privateUse) {
        return std::nullopt;
    }
    const auto& keys = entryLanguageScripts();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (!keys[i].privateUse && keys[i] == *wanted) {
            return entries()[i].traineddata;
        }
    }
    return std::nullopt;
}

QString LanguageTable::packageForTraineddata(const QString& traineddata) {
    return QStringLiteral("tesseract-ocr-") +
           traineddata.trimmed().toLower().replace(QLatin1Char('_'), QLatin1Char('-'));
}

Result<QStringList, QString> LanguageTable::parseList(const QString& text) {
    QStringList identifiers;
    QStringList unknown;
    static const QRegularExpression separators(QStringLiteral("[,+]"));
    for (const QString& raw : text.split(separators, Qt::SkipEmptyParts)) {
        const QString token = raw.trimmed();
        if (token.isEmpty()) {
            continue;
        }
        std::optional<QString> identifier = identifierForTraineddata(token);
        if (!identifier) {
            if (const auto traineddata = traineddataForIdentifier(token)) {
                identifier = identifierForTraineddata(*traineddata);
            }
        }
        if (!identifier) {
            unknown << QLatin1Char('"') + token + QLatin1Char('"');
        } else if (!identifiers.contains(*identifier)) {
            identifiers << *identifier;
        }
    }
    if (!unknown.isEmpty()) {
        const QString what =
            unknown.size() == 1
                ? QCoreApplication::translate("LanguageTable", "Unknown recognition language ")
                : QCoreApplication::translate("LanguageTable", "Unknown recognition languages ");
        return Result<QStringList, QString>::failure(
            what + unknown.join(QStringLiteral(", ")) +
            QStringLiteral(" (use codes such as en-US or eng, separated by , or +)"));
    }
    return Result<QStringList, QString>::success(identifiers);
}

std::optional<QString> LanguageTable::englishName(const QString& identifier) {
    const auto locale = icuLocaleId(identifier);
    if (!locale) {
        return std::nullopt;
    }
    UChar buffer[256];
    UErrorCode status = U_ZERO_ERROR;
    uloc_getDisplayLanguage(locale->constData(), "en", buffer, 256, &status);
    // ICU echoes the code back, with this warning, for a language it cannot name.
    if (U_FAILURE(status) || status == U_USING_DEFAULT_WARNING) {
        return std::nullopt;
    }
    status = U_ZERO_ERROR;
    const int32_t length = uloc_getDisplayName(locale->constData(), "en", buffer, 256, &status);
    if (U_FAILURE(status) || length <= 0) {
        return std::nullopt;
    }
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer),
                              std::min<int32_t>(length, 256));
}

std::optional<QString> LanguageTable::traineddataForScript(const QString& script) {
    static const QHash<QString, QString> byScript = {
        {QStringLiteral("Latin"), QStringLiteral("eng")},
        {QStringLiteral("Cyrillic"), QStringLiteral("rus")},
        {QStringLiteral("Greek"), QStringLiteral("ell")},
        {QStringLiteral("Arabic"), QStringLiteral("ara")},
        {QStringLiteral("Hebrew"), QStringLiteral("heb")},
        {QStringLiteral("Han"), QStringLiteral("chi_sim")},
        {QStringLiteral("Japanese"), QStringLiteral("jpn")},
        {QStringLiteral("Hangul"), QStringLiteral("kor")},
        {QStringLiteral("Korean"), QStringLiteral("kor")},
        {QStringLiteral("Devanagari"), QStringLiteral("hin")},
        {QStringLiteral("Thai"), QStringLiteral("tha")},
    };
    const auto found = byScript.constFind(script);
    if (found == byScript.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

} // namespace quorvale
