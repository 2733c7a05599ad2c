#pragma once

#include "common/SerialQueue.h"
#include "platform/SoundPlayer.h"

#include <QMap>
#include <QString>
#include <memory>

struct ca_context;

namespace quorvale::platform {

// The named sounds through libcanberra, each played as a freedesktop sound-theme event.
// The sound server is reached only from a worker thread, so a slow or missing one never
// holds up the caller.
class CanberraSoundPlayer : public SoundPlayer {
public:
    CanberraSoundPlayer() = default;
    ~CanberraSoundPlayer() override = default;
    CanberraSoundPlayer(const CanberraSoundPlayer&) = delete;
    CanberraSoundPlayer& operator=(const CanberraSoundPlayer&) = delete;

    // True when the name is known and its sound was queued; playback itself is not awaited.
    bool play(const QString& name) override;

    // Each sound name and the theme event that stands in for it.
    static const QMap<QString, QString>& soundEvents();

private:
    struct ContextDeleter {
        void operator()(ca_context* context) const;
    };
    void playEvent(const QByteArray& eventId, const QByteArray& description);

    // Created on first use and touched only by the worker.
    std::unique_ptr<ca_context, ContextDeleter> m_context;
    bool m_contextUnavailable = false;
    // Declared last: it finishes its jobs before the context goes away.
    SerialQueue m_worker{"com.vantrelo.sounds"};
};

} // namespace quorvale::platform
