#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <functional>

namespace quorvale::platform {

// One call of a desktop portal method that answers through a Request object's Response
// signal. Nothing blocks: the completion runs once, on the GUI thread, and the object deletes
// itself after it.
class PortalRequest : public QObject {
    Q_OBJECT
public:
    struct Answer {
        enum class Status { answered, callFailed, timedOut };
        Status status = Status::callFailed;
        uint response = 2;   // answered: 0 success, 1 the user cancelled, 2 ended otherwise
        QVariantMap results; // answered
        QString error;       // callFailed: the bus's message
    };
    using Completion = std::function<void(Answer)>;

    static const QString kService;
    static const QString kPath;

    // Calls `method` of `interface` on the portal with `arguments` followed by `options`, to
    // which the handle token is added.
    static void send(const QDBusConnection& bus, const QString& interface, const QString& method,
                     const QVariantList& arguments, QVariantMap options, Completion completion);
    // A token unique in this process, for handles and session handles.
    static QString nextToken();

private slots:
    void onResponse(uint response, const QVariantMap& results);

private:
    PortalRequest(const QDBusConnection& bus, Completion completion);
    void start(const QString& interface, const QString& method, const QVariantList& arguments,
               QVariantMap options);
    void listenOn(const QString& path);
    void finish(Answer answer);

    QDBusConnection m_bus;
    Completion m_completion;
    QString m_listeningPath;
    bool m_finished = false;
};

} // namespace quorvale::platform
