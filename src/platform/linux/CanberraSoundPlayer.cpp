#include "platform/linux/CanberraSoundPlayer.h"

#include "common/LogCategories.h"

#include <QDebug>
#include <canberra.h>

namespace quorvale::platform {

const QMap<QString, QString>& CanberraSoundPlayer::soundEvents() {
    // Chosen by character: errors for the low thuds, chimes for the bright ones.
    static const QMap<QString, QString> events{
        {QStringLiteral("Basso"), QStringLiteral("dialog-error")},
        {QStringLiteral("Blow"), QStringLiteral("trash-empty")},
        {QStringLiteral("Bottle"), QStringLiteral("device-removed")},
        {QStringLiteral("Frog"), QStringLiteral("window-question")},
        {QStringLiteral("Funk"), QStringLiteral("message-new-instant")},
        {QStringLiteral("Glass"), QStringLiteral("complete")},
        {QStringLiteral("Hero"), QStringLiteral("service-login")},
        {QStringLiteral("Morse"), QStringLiteral("phone-outgoing-busy")},
        {QStringLiteral("Ping"), QStringLiteral("message")},
        {QStringLiteral("Pop"), QStringLiteral("device-added")},
        {QStringLiteral("Purr"), QStringLiteral("power-plug")},
        {QStringLiteral("Sosumi"), QStringLiteral("dialog-warning")},
        {QStringLiteral("Submarine"), QStringLiteral("network-connectivity-established")},
        {QStringLiteral("Tink"), QStringLiteral("audio-volume-change")},
    };
    return events;
}

bool CanberraSoundPlayer::play(const QString& name) {
    const auto event = soundEvents().constFind(name);
    if (event == soundEvents().constEnd()) {
        return false;
    }
    m_worker.async([this, eventId = event->toUtf8(), description = name.toUtf8()] {
        playEvent(eventId, description);
    });
    return true;
}

void CanberraSoundPlayer::playEvent(const QByteArray& eventId, const QByteArray& description) {
    if (!m_context && !m_contextUnavailable) {
        ca_context* context = nullptr;
        const int created = ca_context_create(&context);
        if (created != CA_SUCCESS) {
            qCDebug(Log::ui) << "Sound unavailable:" << ca_strerror(created);
            m_contextUnavailable = true;
            return;
        }
        m_context.reset(context);
        ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Quorvale",
                                CA_PROP_APPLICATION_ID, "com.vantrelo.Quorvale", nullptr);
    }
    if (!m_context) {
        return;
    }
    const int played = ca_context_play(m_context.get(), 0, CA_PROP_EVENT_ID, eventId.constData(),
                                       CA_PROP_EVENT_DESCRIPTION, description.constData(), nullptr);
    if (played != CA_SUCCESS) {
        qCDebug(Log::ui) << "Sound" << description << "did not play:" << ca_strerror(played);
    }
}

void CanberraSoundPlayer::ContextDeleter::operator()(ca_context* context) const {
    ca_context_destroy(context);
}

} // namespace quorvale::platform
