#pragma once

#include "support/Command.h"

#include <QList>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace quorvale::test {

// A private Xvfb with its own user folders, and the app and tools run against it.
class X11Session {
public:
    explicit X11Session(QSize screenSize = {1280, 800});
    ~X11Session();

    bool isValid() const { return !m_display.isEmpty(); }
    const QString& display() const { return m_display; }
    QString configHome() const { return m_home.filePath("config"); }
    QString runtimeDir() const { return m_home.filePath("runtime"); }
    QString socketPath() const { return runtimeDir() + "/quorvale.socket"; }
    QString filePath(const QString& name) const { return m_home.filePath(name); }
    QProcessEnvironment environment() const;
    // Set for every process started from now on (the app, commands, tools).
    void setEnvironment(const QString& name, const QString& value) {
        m_extraEnvironment[name] = value;
    }

    // Writes the settings file the app will read at start.
    bool writeDefaults(const QByteArray& json) const;
    // Settings for tests about the tray app alone: no settings window, no sound.
    bool writeQuietDefaults() const {
        return writeDefaults(R"({"pref_showDockIcon": false, "pref_enableSound": false})");
    }
    // Starts `quorvale` and waits until it answers on its socket.
    bool startApp(const QStringList& arguments = {});
    bool isAppRunning() const;
    QProcess* app() const { return m_app.get(); }
    // Runs the quorvale binary as a command (file, ocr, ...) and waits for it.
    CommandOutput runQuorvale(const QStringList& arguments, int timeoutMs = 60000) const;
    CommandOutput run(const QString& program, const QStringList& arguments,
                      int timeoutMs = 10000) const;

    QString clipboardText() const;
    // xclip keeps serving the selection until someone else takes it.
    bool setClipboardText(const QString& text);
    bool saveScreenshot(const QString& path) const;

    // Splits the framebuffer into RandR monitors; the first becomes the primary.
    bool setMonitors(const QList<QRect>& monitors);
    bool removeMonitor(const QString& name);
    static QString monitorName(int index) { return QStringLiteral("M%1").arg(index); }
    // Starts openbox and waits until it manages the screen.
    bool startWindowManager();
    // An xterm at `topLeft` (pixels) showing `lines`; returns its window id, 0 on failure.
    quint32 startTerminal(const QPoint& topLeft, const QStringList& lines, int columns = 40,
                          int rows = 8);
    bool xdotool(const QStringList& arguments) const;
    // What the app wrote to standard error so far (also forwarded to ours).
    QString appErrors() const { return QString::fromUtf8(m_appErrors); }

private:
    QTemporaryDir m_home;
    std::unique_ptr<QProcess> m_xvfb;
    std::unique_ptr<QProcess> m_app;
    std::vector<std::unique_ptr<QProcess>> m_helpers;
    QString m_display;
    QMap<QString, QString> m_extraEnvironment;
    QByteArray m_appErrors;
    int m_terminals = 0;
};

} // namespace quorvale::test
