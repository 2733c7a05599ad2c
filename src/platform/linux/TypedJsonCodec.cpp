#include "platform/linux/TypedJsonCodec.h"

#include <QLocale>
#include <QStringDecoder>
#include <QStringList>
#include <cctype>
#include <cmath>
#include <limits>

namespace quorvale::platform {
namespace {

constexpr int kMaxDepth = 128; // keeps hostile nesting from exhausting the stack

class Parser {
public:
    explicit Parser(const QByteArray& text)
        : m_text(text) {}

    std::optional<QVariantMap> parseRootObject() {
        if (m_text.startsWith("\xEF\xBB\xBF")) {
            m_pos = 3;
        }
        skipWhitespace();
        if (peek() != '{') {
            return std::nullopt;
        }
        std::optional<QVariant> root = parseValue(0);
        skipWhitespace();
        if (!root || m_pos != m_text.size()) {
            return std::nullopt;
        }
        return root->toMap();
    }

private:
    char peek() const { return m_pos < m_text.size() ? m_text.at(m_pos) : '\0'; }
    bool atEnd() const { return m_pos >= m_text.size(); }

    void skipWhitespace() {
        while (!atEnd()) {
            const char c = peek();
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
                return;
            }
            ++m_pos;
        }
    }

    bool consume(const char* literal) {
        const qsizetype length = qstrlen(literal);
        if (m_text.mid(m_pos, length) != literal) {
            return false;
        }
        m_pos += length;
        return true;
    }

    std::optional<QVariant> parseValue(int depth) {
        if (depth > kMaxDepth) {
            return std::nullopt;
        }
        skipWhitespace();
        switch (peek()) {
        case '{':
            return parseObject(depth);
        case '[':
            return parseArray(depth);
        case '"': {
            std::optional<QString> text = parseString();
            return text ? std::optional<QVariant>(*text) : std::nullopt;
        }
        case 't':
            return consume("true") ? std::optional<QVariant>(true) : std::nullopt;
        case 'f':
            return consume("false") ? std::optional<QVariant>(false) : std::nullopt;
        case 'n':
            return consume("null") ? std::optional<QVariant>(QVariant::fromValue(nullptr))
                                   : std::nullopt;
        default:
            return parseNumber();
        }
    }

    std::optional<QVariant> parseObject(int depth) {
        ++m_pos; // '{'
        QVariantMap object;
        skipWhitespace();
        if (peek() == '}') {
            ++m_pos;
            return object;
        }
        for (;;) {
            skipWhitespace();
            if (peek() != '"') {
                return std::nullopt;
            }
            std::optional<QString> key = parseString();
            skipWhitespace();
            if (!key || peek() != ':') {
                return std::nullopt;
            }
            ++m_pos;
            std::optional<QVariant> value = parseValue(depth + 1);
            if (!value) {
                return std::nullopt;
            }
            object.insert(*key, *value);
            skipWhitespace();
            if (peek() == ',') {
                ++m_pos;
            } else if (peek() == '}') {
                ++m_pos;
                return object;
            } else {
                return std::nullopt;
            }
        }
    }

    std::optional<QVariant> parseArray(int depth) {
        ++m_pos; // '['
        QVariantList elements;
        skipWhitespace();
        if (peek() == ']') {
            ++m_pos;
            return QStringList{};
        }
        for (;;) {
            std::optional<QVariant> value = parseValue(depth + 1);
            if (!value) {
                return std::nullopt;
            }
            elements.append(*value);
            skipWhitespace();
            if (peek() == ',') {
                ++m_pos;
            } else if (peek() == ']') {
                ++m_pos;
                break;
            } else {
                return std::nullopt;
            }
        }
        return TypedJsonCodec::normalized(elements);
    }

    std::optional<int> parseHex4() {
        if (m_pos + 4 > m_text.size()) {
            return std::nullopt;
        }
        bool ok = false;
        const int code = m_text.mid(m_pos, 4).toInt(&ok, 16);
        for (qsizetype i = m_pos; i < m_pos + 4; ++i) {
            if (!std::isxdigit(static_cast<unsigned char>(m_text.at(i)))) {
                return std::nullopt;
            }
        }
        m_pos += 4;
        return ok ? std::optional<int>(code) : std::nullopt;
    }

    std::optional<QString> parseString() {
        ++m_pos; // '"'
        QByteArray raw;
        for (;;) {
            if (atEnd()) {
                return std::nullopt;
            }
            const char c = m_text.at(m_pos++);
            if (c == '"') {
                break;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return std::nullopt;
            }
            if (c != '\\') {
                raw.append(c);
                continue;
            }
            if (atEnd()) {
                return std::nullopt;
            }
            const char escape = m_text.at(m_pos++);
            switch (escape) {
            case '"':
            case '\\':
            case '/':
                raw.append(escape);
                break;
            case 'b':
                raw.append('\b');
                break;
            case 'f':
                raw.append('\f');
                break;
            case 'n':
                raw.append('\n');
                break;
            case 'r':
                raw.append('\r');
                break;
            case 't':
                raw.append('\t');
                break;
            case 'u': {
                std::optional<int> unit = parseHex4();
                if (!unit) {
                    return std::nullopt;
                }
                char32_t code = char32_t(*unit);
                if (QChar::isHighSurrogate(code) && m_text.mid(m_pos, 2) == "\\u") {
                    const qsizetype save = m_pos;
                    m_pos += 2;
                    std::optional<int> low = parseHex4();
                    if (low && QChar::isLowSurrogate(char32_t(*low))) {
                        code = QChar::surrogateToUcs4(char16_t(code), char16_t(*low));
                    } else {
                        m_pos = save;
                    }
                }
                raw.append(QString::fromUcs4(&code, 1).toUtf8());
                break;
            }
            default:
                return std::nullopt;
            }
        }
        QStringDecoder decoder(QStringDecoder::Utf8);
        QString text = decoder(raw);
        if (decoder.hasError()) {
            return std::nullopt;
        }
        return text;
    }

    std::optional<QVariant> parseNumber() {
        const qsizetype start = m_pos;
        bool integral = true;
        if (peek() == '-') {
            ++m_pos;
        }
        if (peek() == '0') {
            ++m_pos;
        } else if (peek() >= '1' && peek() <= '9') {
            skipDigits();
        } else {
            return std::nullopt;
        }
        if (peek() == '.') {
            integral = false;
            ++m_pos;
            if (!skipDigits()) {
                return std::nullopt;
            }
        }
        if (peek() == 'e' || peek() == 'E') {
            integral = false;
            ++m_pos;
            if (peek() == '+' || peek() == '-') {
                ++m_pos;
            }
            if (!skipDigits()) {
                return std::nullopt;
            }
        }
        const QByteArray literal = m_text.mid(start, m_pos - start);
        bool ok = false;
        if (integral) {
            const qlonglong value = literal.toLongLong(&ok);
            if (ok) {
                return QVariant(value);
            }
        }
        // Out-of-range literals still are numbers: they become the nearest double.
        return QVariant(literal.toDouble(&ok));
    }

    bool skipDigits() {
        const qsizetype start = m_pos;
        while (peek() >= '0' && peek() <= '9') {
            ++m_pos;
        }
        return m_pos > start;
    }

    const QByteArray& m_text;
    qsizetype m_pos = 0;
};

void appendString(QByteArray& out, const QString& text) {
    out.append('"');
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"':
            out.append("\\\"");
            break;
        case '\\':
            out.append("\\\\");
            break;
        case '\n':
            out.append("\\n");
            break;
        case '\r':
            out.append("\\r");
            break;
        case '\t':
            out.append("\\t");
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                out.append(
                    QByteArray("\\u00") +
                    QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0'));
            } else {
                out.append(c);
            }
        }
    }
    out.append('"');
}

void appendValue(QByteArray& out, const QVariant& value);

void appendDouble(QByteArray& out, double value) {
    if (!std::isfinite(value)) {
        out.append("null");
        return;
    }
    QByteArray text = QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
    // Without a fraction or exponent the reader would take it for an integer.
    if (!text.contains('.') && !text.contains('e')) {
        text.append(".0");
    }
    out.append(text);
}

void appendList(QByteArray& out, const QVariantList& elements) {
    out.append('[');
    for (qsizetype i = 0; i < elements.size(); ++i) {
        if (i > 0) {
            out.append(", ");
        }
        appendValue(out, elements.at(i));
    }
    out.append(']');
}

void appendMap(QByteArray& out, const QVariantMap& map, bool pretty) {
    out.append('{');
    bool first = true;
    for (auto it = map.begin(); it != map.end(); ++it) {
        if (!first) {
            out.append(',');
        }
        out.append(pretty ? "\n    " : (first ? "" : " "));
        first = false;
        appendString(out, it.key());
        out.append(": ");
        appendValue(out, it.value());
    }
    out.append(pretty && !map.isEmpty() ? "\n}" : "}");
}

void appendValue(QByteArray& out, const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        out.append(value.toBool() ? "true" : "false");
        break;
    case QMetaType::LongLong:
        out.append(QByteArray::number(value.toLongLong()));
        break;
    case QMetaType::Double:
        appendDouble(out, value.toDouble());
        break;
    case QMetaType::QString:
        appendString(out, value.toString());
        break;
    case QMetaType::QStringList: {
        QVariantList elements;
        for (const QString& element : value.toStringList()) {
            elements.append(element);
        }
        appendList(out, elements);
        break;
    }
    case QMetaType::QVariantList:
        appendList(out, value.toList());
        break;
    case QMetaType::QVariantMap:
        appendMap(out, value.toMap(), false);
        break;
    default:
        out.append("null");
    }
}

} // namespace

std::optional<QVariantMap> TypedJsonCodec::parseObject(const QByteArray& text) {
    return Parser(text).parseRootObject();
}

QByteArray TypedJsonCodec::serializeObject(const QVariantMap& object) {
    QByteArray out;
    QVariantMap normalizedObject;
    for (auto it = object.begin(); it != object.end(); ++it) {
        normalizedObject.insert(it.key(), normalized(it.value()).value_or(QVariant()));
    }
    appendMap(out, normalizedObject, true);
    out.append('\n');
    return out;
}

std::optional<QVariant> TypedJsonCodec::normalized(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::QString:
    case QMetaType::QStringList:
    case QMetaType::Nullptr:
        return value;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
        return QVariant(value.toLongLong());
    case QMetaType::ULongLong: {
        const qulonglong number = value.toULongLong();
        if (number > qulonglong(std::numeric_limits<qlonglong>::max())) {
            return QVariant(double(number));
        }
        return QVariant(qlonglong(number));
    }
    case QMetaType::Float:
        return QVariant(double(value.toFloat()));
    case QMetaType::QVariantList: {
        QVariantList elements;
        bool allStrings = true;
        for (const QVariant& element : value.toList()) {
            std::optional<QVariant> normalizedElement = normalized(element);
            if (!normalizedElement) {
                return std::nullopt;
            }
            allStrings = allStrings && normalizedElement->typeId() == QMetaType::QString;
            elements.append(*normalizedElement);
        }
        if (allStrings) {
            QStringList strings;
            for (const QVariant& element : elements) {
                strings.append(element.toString());
            }
            return strings;
        }
        return elements;
    }
    case QMetaType::QVariantMap: {
        const QVariantMap map = value.toMap();
        QVariantMap result;
        for (auto it = map.begin(); it != map.end(); ++it) {
            std::optional<QVariant> normalizedValue = normalized(it.value());
            if (!normalizedValue) {
                return std::nullopt;
            }
            result.insert(it.key(), *normalizedValue);
        }
        return result;
    }
    default:
        return std::nullopt;
    }
}

} // namespace quorvale::platform
