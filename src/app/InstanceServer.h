#pragma once

#include "app/InstanceProtocol.h"

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <functional>
#include <memory>

namespace quorvale {

// The running instance's end of the command-line channel.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    enum class ListenResult { listening, anotherInstanceRunning, failed };
    using Reply = std::function<void(const InstanceReply&)>;
    using Handler = std::function<void(const InstanceRequest&, Reply)>;

    // A connection that sends no request within this time is closed.
    static constexpr int kDefaultIdleTimeoutMs = 5000;

    explicit InstanceServer(Handler handler, QObject* parent = nullptr);

    void setIdleTimeout(int milliseconds) { m_idleTimeoutMs = milliseconds; }

    // Holds a lock beside the socket for as long as this instance lives, so two starting
    // instances never both listen; a socket left by a crashed instance is taken over. A
    // folder other users could change is refused.
    ListenResult listen(const QString& socketPath, QString* error);
    void close();

private:
    void accept();

    Handler m_handler;
    QLocalServer m_server;
    std::unique_ptr<QLockFile> m_lock;
    int m_idleTimeoutMs = kDefaultIdleTimeoutMs;
};

} // namespace quorvale
