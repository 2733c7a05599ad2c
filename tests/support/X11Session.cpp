#include "support/X11Session.h"

#include "app/InstanceClient.h"
#include "support/Wait.h"

#include <QDir>
#include <cstdio>

namespace quorvale::test {

X11Session::X11Session(QSize screenSize) {
    QDir(m_home.path()).mkpath("config");
    QDir(m_home.path()).mkpath("runtime");
    QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_xvfb = std::make_unique<QProcess>();
    m_xvfb->setProcessChannelMode(QProcess::SeparateChannels);
    // -displayfd picks a free display and writes its number to stdout.
    m_xvfb->start("Xvfb",
                  {"-displayfd", "1", "-screen", "0",
                   QStringLiteral("%1x%2x24").arg(screenSize.width()).arg(screenSize.height()),
                   "-nolisten", "tcp", "-noreset"});
    if (!m_xvfb->waitForStarted(5000)) {
        return;
    }
    QByteArray number;
    waitUntil(
        [&] {
            number += m_xvfb->readAllStandardOutput();
            return number.contains('\n') || m_xvfb->state() == QProcess::NotRunning;
        },
        10000);
    if (number.trimmed().isEmpty()) {
        return;
    }
    m_display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
}

X11Session::~X11Session() {
    auto stop = [](QProcess* process) {
        if (process && process->state() != QProcess::NotRunning) {
            process->terminate();
            if (!process->waitForFinished(3000)) {
                process->kill();
                process->waitForFinished(1000);
            }
        }
    };
    stop(m_app.get());
    for (auto& helper : m_helpers) {
        stop(helper.get());
    }
    stop(m_xvfb.get());
}

QProcessEnvironment X11Session::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", m_display);
    env.insert("XDG_CONFIG_HOME", configHome());
    env.insert("XDG_RUNTIME_DIR", runtimeDir());
    env.insert("HOME", m_home.path());
    env.insert("CANBERRA_DRIVER", "null");
    env.insert("QT_QPA_PLATFORM", "xcb");
    // Tests read the app's messages; a journal on the machine would take them.
    env.insert("QT_FORCE_STDERR_LOGGING", "1");
    env.remove("DBUS_SESSION_BUS_ADDRESS");
    env.remove("WAYLAND_DISPLAY");
    for (auto it = m_extraEnvironment.cbegin(); it != m_extraEnvironment.cend(); ++it) {
        env.insert(it.key(), it.value());
    }
    return env;
}

bool X11Session::writeDefaults(const QByteArray& json) const {
    QDir(configHome()).mkpath("quorvale");
    QFile file(configHome() + "/quorvale/defaults.json");
    return file.open(QIODevice::WriteOnly) && file.write(json) == json.size();
}

bool X11Session::startApp(const QStringList& arguments) {
    const QString socket = socketPath();
    m_app = test::startApp(environment(), arguments, m_appErrors);
    return test::appAnswers(*m_app, socket);
}

bool X11Session::isAppRunning() const {
    return m_app && m_app->state() == QProcess::Running;
}

CommandOutput X11Session::run(const QString& program, const QStringList& arguments,
                              int timeoutMs) const {
    return runCommand(environment(), program, arguments, timeoutMs);
}

CommandOutput X11Session::runQuorvale(const QStringList& arguments, int timeoutMs) const {
    return run(QUORVALE_BINARY, arguments, timeoutMs);
}

QString X11Session::clipboardText() const {
    const CommandOutput output = run("xclip", {"-o", "-selection", "clipboard"});
    return output.exitCode == 0 ? output.standardOutput : QString();
}

bool X11Session::setClipboardText(const QString& text) {
    auto xclip = std::make_unique<QProcess>();
    xclip->setProcessEnvironment(environment());
    xclip->start("xclip", {"-quiet", "-selection", "clipboard", "-i"});
    if (!xclip->waitForStarted(5000)) {
        return false;
    }
    xclip->write(text.toUtf8());
    xclip->closeWriteChannel();
    m_helpers.push_back(std::move(xclip));
    return waitUntil([&] { return clipboardText() == text; });
}

bool X11Session::saveScreenshot(const QString& path) const {
    const CommandOutput output = run("import", {"-window", "root", path});
    return output.exitCode == 0;
}

} // namespace quorvale::test

namespace quorvale::test {

bool X11Session::setMonitors(const QList<QRect>& monitors) {
    // The first monitor takes the server's only output, which replaces the automatic
    // monitor covering the whole framebuffer and makes it the primary one.
    for (int i = 0; i < monitors.size(); ++i) {
        const QRect& r = monitors.at(i);
        const QString geometry = QStringLiteral("%1/%2x%3/%4+%5+%6")
                                     .arg(r.width())
                                     .arg(r.width() / 4)
                                     .arg(r.height())
                                     .arg(r.height() / 4)
                                     .arg(r.x())
                                     .arg(r.y());
        const QString output = i == 0 ? QStringLiteral("screen") : QStringLiteral("none");
        if (run("xrandr", {"--setmonitor", monitorName(i), geometry, output}).exitCode != 0) {
            return false;
        }
    }
    if (run("xrandr", {"--output", "screen", "--primary"}).exitCode != 0) {
        return false;
    }
    return waitUntil([&] {
        return run("xrandr", {"--listmonitors"})
            .standardOutput.startsWith(QStringLiteral("Monitors: %1\n").arg(monitors.size()));
    });
}

bool X11Session::removeMonitor(const QString& name) {
    return run("xrandr", {"--delmonitor", name}).exitCode == 0;
}

bool X11Session::startWindowManager() {
    auto openbox = std::make_unique<QProcess>();
    openbox->setProcessEnvironment(environment());
    openbox->start("openbox", QStringList());
    if (!openbox->waitForStarted(5000)) {
        return false;
    }
    m_helpers.push_back(std::move(openbox));
    return waitUntil(
        [&] {
            return run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"})
                .standardOutput.contains("window id");
        },
        10000);
}

quint32 X11Session::startTerminal(const QPoint& topLeft, const QStringList& lines, int columns,
                                  int rows) {
    const QString title = QStringLiteral("terminal-%1").arg(++m_terminals);
    // No cursor block: it would read as a stray character.
    QString script = QStringLiteral("printf '\\033[?25l'; ");
    for (const QString& line : lines) {
        script += QStringLiteral("echo '%1'; ").arg(line);
    }
    script += QStringLiteral("exec sleep 600");
    auto xterm = std::make_unique<QProcess>();
    xterm->setProcessEnvironment(environment());
    xterm->start(
        "xterm",
        {"-T", title, "-geometry",
         QStringLiteral("%1x%2+%3+%4").arg(columns).arg(rows).arg(topLeft.x()).arg(topLeft.y()),
         "-fa", "DejaVu Sans Mono", "-fs", "14", "-bg", "white", "-fg", "black", "+cm", "-e", "sh",
         "-c", script});
    if (!xterm->waitForStarted(5000)) {
        return 0;
    }
    m_helpers.push_back(std::move(xterm));
    quint32 id = 0;
    waitUntil(
        [&] {
            const CommandOutput found =
                run("xdotool", {"search", "--onlyvisible", "--name", "^" + title + "$"});
            id = found.standardOutput.section('\n', 0, 0).trimmed().toUInt();
            return id != 0;
        },
        10000);
    return id;
}

bool X11Session::xdotool(const QStringList& arguments) const {
    return run("xdotool", arguments).exitCode == 0;
}

} // namespace quorvale::test
