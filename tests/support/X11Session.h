#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace quorvale::test {

struct CommandOutput {
    int exitCode = -1;
    bool finished = false;
    QString standardOutput;
    QString standardError;
};

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

private:
    QTemporaryDir m_home;
    std::unique_ptr<QProcess> m_xvfb;
    std::unique_ptr<QProcess> m_app;
    std::vector<std::unique_ptr<QProcess>> m_helpers;
    QString m_display;
};

} // namespace quorvale::test
