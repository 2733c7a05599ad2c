#include "platform/DefaultsStore.h"

namespace quorvale::platform {

bool DefaultsStore::boolForKey(const QString& key) const {
    const QVariant value = objectForKey(key);
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return value.toDouble() != 0.0;
    case QMetaType::QString: {
        const QString text = value.toString().trimmed().toLower();
        return text == u"yes" || text == u"true" || text.toLongLong() != 0;
    }
    default:
        return false;
    }
}

std::optional<QString> DefaultsStore::stringForKey(const QString& key) const {
    const QVariant value = objectForKey(key);
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 17);
    default:
        return std::nullopt;
    }
}

std::optional<QStringList> DefaultsStore::stringListForKey(const QString& key) const {
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList();
    }
    if (value.typeId() != QMetaType::QVariantList) {
        return std::nullopt;
    }
    QStringList list;
    for (const QVariant& element : value.toList()) {
        if (element.typeId() != QMetaType::QString) {
            return std::nullopt;
        }
        list.append(element.toString());
    }
    return list;
}

} // namespace quorvale::platform
