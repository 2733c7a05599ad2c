#pragma once

#include "support/Command.h"

#include <QDBusConnection>
#include <QImage>
#include <QList>
#include <QMap>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace quorvale::test {

// A headless sway with two outputs side by side, its own session bus and desktop portal,
// and the app and tools run against it. sway refuses to run as root: for a root test it
// runs as an unprivileged user made for the purpose.
class WaylandSession {
public:
    enum class Portal {
        Real,     // xdg-desktop-portal with the wlroots backend
        Refusing, // a stand-in that turns every screenshot request down and binds every
                  // global shortcut asked for
    };
    struct Output {
        QString name;
        QRect geometry;
    };
    static const QList<Output>& outputs();

    // Why no session can start on this machine; empty when one can.
    static QString unavailableReason();

    explicit WaylandSession(Portal portal = Portal::Real);
    ~WaylandSession();
    WaylandSession(const WaylandSession&) = delete;
    WaylandSession& operator=(const WaylandSession&) = delete;

    bool isValid() const { return m_failure.isEmpty(); }
    const QString& failure() const { return m_failure; }
    QString filePath(const QString& name) const { return m_home.filePath(name); }
    // Our own connection to the session bus.
    QDBusConnection bus() const { return QDBusConnection(m_busConnection); }
    QProcessEnvironment environment() const;
    // Set for every process started from now on (the app, commands, tools).
    void setEnvironment(const QString& name, const QString& value) {
        m_extraEnvironment[name] = value;
    }

    // Starts `quorvale` and waits until it answers on its socket.
    bool startApp(const QStringList& arguments = {});
    bool isAppRunning() const { return m_app && m_app->state() == QProcess::Running; }
    // Quits the app as a logout does (SIGTERM) and returns its exit status: -1 when it
    // crashed, was aborted (by a sanitizer's report) or did not end.
    int quitApp();
    // What the app wrote to standard error so far (also forwarded to ours).
    QString appErrors() const { return QString::fromUtf8(m_appErrors); }
    CommandOutput runQuorvale(const QStringList& arguments, int timeoutMs = 60000) const;
    CommandOutput run(const QString& program, const QStringList& arguments,
                      int timeoutMs = 10000) const;
    // A program that runs until the session ends; null if it did not start.
    QProcess* startHelper(const QString& program, const QStringList& arguments);

    // Presses a global shortcut the stand-in portal bound (Portal::Refusing).
    bool activateShortcut(const QString& id) {
        return m_standInPortal && m_standInPortal->write(("activate " + id + "\n").toUtf8()) > 0 &&
               m_standInPortal->waitForBytesWritten(5000);
    }

    // What the output shows, from the compositor.
    QImage grab(const QString& output) const;
    // Shows the image (the output's size) behind every window and waits until it is on screen.
    bool setBackground(const QString& output, const QImage& image);
    // The output showing a window with this title; empty when none does.
    QString outputOfWindow(const QString& title) const;

    // A pointer in layout coordinates; each call returns once the compositor has the event.
    bool movePointer(QPoint to) {
        return pointer(QStringLiteral("move %1 %2").arg(to.x()).arg(to.y()));
    }
    bool pressButton() { return pointer("down"); }
    bool releaseButton() { return pointer("up"); }
    bool drag(QPoint from, QPoint to);
    bool key(const QString& name) const { return run("wtype", {"-k", name}).exitCode == 0; }

    QString clipboardText() const;
    bool setClipboardText(const QString& text);

private:
    bool start(Portal portal);
    bool startDaemon(const QString& name, const QString& program, const QStringList& arguments,
                     const QProcessEnvironment& environment);
    bool startSway();
    bool waitForBusName(const QString& name, const QString& owner);
    bool fail(const QString& why, const QString& logName = {});
    bool pointer(const QString& command);

    QTemporaryDir m_home;
    QString m_failure;
    QString m_waylandDisplay;
    QString m_swaySocket;
    QString m_busAddress;
    QString m_busConnection;
    std::vector<std::unique_ptr<QProcess>> m_daemons;
    std::vector<std::unique_ptr<QProcess>> m_helpers;
    std::unique_ptr<QProcess> m_app;
    QByteArray m_appErrors;
    QProcess* m_pointer = nullptr;
    QProcess* m_standInPortal = nullptr;
    QMap<QString, QString> m_extraEnvironment;
};

} // namespace quorvale::test
