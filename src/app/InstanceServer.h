#pragma once

#include "app/InstanceProtocol.h"

#include <QLocalServer>
#include <QObject>
#include <functional>

namespace quorvale {

// The running instance's end of the command-line channel.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    enum class ListenResult { listening, anotherInstanceRunning, failed };
    using Reply = std::function<void(const InstanceReply&)>;
    using Handler = std::function<void(const InstanceRequest&, Reply)>;

    explicit InstanceServer(Handler handler, QObject* parent = nullptr);

    // Takes over a socket left behind by an instance that is gone.
    ListenResult listen(const QString& socketPath, QString* error);
    void close();

private:
    void accept();

    Handler m_handler;
    QLocalServer m_server;
};

} // namespace quorvale
