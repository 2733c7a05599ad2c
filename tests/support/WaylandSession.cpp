#include "support/WaylandSession.h"

#include "app/InstanceClient.h"
#include "support/Wait.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <unistd.h>

namespace quorvale::test {

namespace {

// The account sway runs under when the tests run as root.
const char* const kSwayUser = "quorvale-sway";

bool sameImage(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return false;
    }
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    qsizetype differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int column = 0; column < x.width(); ++column) {
            if (std::abs(qGray(p[column]) - qGray(q[column])) > 32) {
                ++differing;
            }
        }
    }
    return differing * 1000 < qsizetype(x.width()) * x.height();
}

QString tail(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll().right(1500))
                                          : QString();
}

bool succeeds(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

bool ensureSwayUser() {
    auto exists = [] { return succeeds("id", {"-u", kSwayUser}); };
    return exists() ||
           succeeds("useradd", {"--system", "--no-create-home", "--home-dir", "/nonexistent",
                                "--shell", "/usr/sbin/nologin", kSwayUser}) ||
           exists();
}

void stop(QProcess* process) {
    if (process && process->state() != QProcess::NotRunning) {
        process->terminate();
        if (!process->waitForFinished(3000)) {
            process->kill();
            process->waitForFinished(1000);
        }
    }
}

} // namespace

const QList<WaylandSession::Output>& WaylandSession::outputs() {
    static const QList<Output> layout{{"HEADLESS-1", QRect(0, 0, 1920, 1080)},
                                      {"HEADLESS-2", QRect(1920, 0, 1280, 1024)}};
    return layout;
}

QString WaylandSession::unavailableReason() {
    for (const char* program :
         {"sway", "swaymsg", "dbus-daemon", "pipewire", "grim", "wl-copy", "wl-paste", "wtype"}) {
        if (QStandardPaths::findExecutable(program).isEmpty()) {
            return QStringLiteral("%1 is not installed (scripts/install-deps.sh --test)")
                .arg(program);
        }
    }
    for (const char* program :
         {"/usr/libexec/xdg-desktop-portal", "/usr/libexec/xdg-desktop-portal-wlr"}) {
        if (!QFile::exists(program)) {
            return QStringLiteral("%1 is not installed (scripts/install-deps.sh --test)")
                .arg(program);
        }
    }
    return {};
}

WaylandSession::WaylandSession(Portal portal) {
    QElapsedTimer clock;
    clock.start();
    if (start(portal)) {
        std::fprintf(stderr, "Wayland session ready in %lld ms\n", clock.elapsed());
    }
}

WaylandSession::~WaylandSession() {
    stop(m_app.get());
    for (auto it = m_helpers.rbegin(); it != m_helpers.rend(); ++it) {
        stop(it->get());
    }
    if (!m_busConnection.isEmpty()) {
        QDBusConnection::disconnectFromBus(m_busConnection);
    }
    for (auto it = m_daemons.rbegin(); it != m_daemons.rend(); ++it) {
        stop(it->get());
    }
}

bool WaylandSession::fail(const QString& why, const QString& logName) {
    m_failure = why;
    if (!logName.isEmpty()) {
        m_failure += "\n" + tail(filePath("logs/" + logName));
    }
    return false;
}

bool WaylandSession::start(Portal portal) {
    if (!m_home.isValid()) {
        return fail("no temporary folder");
    }
    // sway, running as another user, reads its configuration and the backgrounds from here.
    QFile::setPermissions(m_home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                             QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup |
                                             QFile::ExeGroup);
    QDir home(m_home.path());
    for (const char* folder : {"config", "runtime", "logs", "sway-runtime"}) {
        home.mkpath(folder);
    }
    QFile::setPermissions(filePath("runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!startSway()) {
        return false;
    }
    // A keyboard that stays: each wtype run adds one for a moment, and without a lasting one
    // its first key can arrive before its keymap.
    if (!startDaemon("keyboard", "wtype", {"-s", "600000", "-k", "F24"}, environment())) {
        return false;
    }
    // Likewise the pointer is there before any window: a seat that gains one later tells its
    // clients so, and events sent before a client has caught up are lost.
    if (!pointer("move 0 0")) {
        return fail("the virtual pointer did not start");
    }

    m_busAddress = "unix:path=" + filePath("runtime/bus");
    // Started with the session's environment, so what the bus activates gets it too.
    QProcessEnvironment busEnvironment = environment();
    busEnvironment.remove("DBUS_SESSION_BUS_ADDRESS");
    if (!startDaemon("dbus", "dbus-daemon",
                     {"--session", "--nofork", "--nopidfile", "--address=" + m_busAddress},
                     busEnvironment)) {
        return false;
    }
    static int sessions = 0;
    const QString connection = QStringLiteral("wayland-session-%1").arg(++sessions);
    if (!waitUntil(
            [&] {
                if (QDBusConnection::connectToBus(m_busAddress, connection).isConnected()) {
                    return true;
                }
                QDBusConnection::disconnectFromBus(connection);
                return false;
            },
            10000)) {
        return fail("the session bus did not come up", "dbus");
    }
    m_busConnection = connection;

    if (portal == Portal::Refusing) {
        m_standInPortal =
            startHelper(QUORVALE_TEST_TOOLS_DIR "/quorvale-stand-in-portal", {"2", "bind"});
        if (!m_standInPortal || !waitUntil([&] { return m_standInPortal->canReadLine(); }, 10000)) {
            return fail("the stand-in portal did not start");
        }
        m_standInPortal->readLine();
        return true;
    }

    // The wlroots backend does not start without PipeWire (screenshots need no session
    // manager), and the portal must find its backend running: started the other way round,
    // the bus would start one without our environment.
    if (!startDaemon("pipewire", "pipewire", {}, environment()) ||
        !waitUntil([&] { return QFile::exists(filePath("runtime/pipewire-0")); }, 10000)) {
        return fail("PipeWire did not start", "pipewire");
    }
    if (!startDaemon("portal-wlr", "/usr/libexec/xdg-desktop-portal-wlr", {"--replace"},
                     environment()) ||
        !waitForBusName("org.freedesktop.impl.portal.desktop.wlr", "portal-wlr")) {
        return fail("the wlroots portal backend did not start", "portal-wlr");
    }
    if (!startDaemon("portal", "/usr/libexec/xdg-desktop-portal", {"--replace"}, environment()) ||
        !waitForBusName("org.freedesktop.portal.Desktop", "portal")) {
        return fail("the desktop portal did not start", "portal");
    }
    return true;
}

bool WaylandSession::startSway() {
    QFile config(filePath("sway.conf"));
    if (!config.open(QIODevice::WriteOnly)) {
        return fail("cannot write the sway configuration");
    }
    config.write("xwayland disable\ndefault_border none\n");
    for (const Output& output : outputs()) {
        config.write(QStringLiteral("output %1 resolution %2x%3 position %4,%5\n")
                         .arg(output.name)
                         .arg(output.geometry.width())
                         .arg(output.geometry.height())
                         .arg(output.geometry.x())
                         .arg(output.geometry.y())
                         .toUtf8());
    }
    config.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "SWAYSOCK"}) {
        env.remove(name);
    }
    const QString runtime = filePath("sway-runtime");
    env.insert("HOME", m_home.path());
    env.insert("XDG_RUNTIME_DIR", runtime);
    env.insert("WLR_BACKENDS", "headless");
    env.insert("WLR_HEADLESS_OUTPUTS", QString::number(outputs().size()));
    env.insert("WLR_LIBINPUT_NO_DEVICES", "1");
    env.insert("WLR_RENDERER", "pixman");
    QString program = "sway";
    // Without atomic layout changes a new window is where it will stay as soon as it maps:
    // otherwise, for up to 200 ms, pointer events meant for it reach nothing.
    QStringList arguments{"-D", "noatomic", "-c", config.fileName()};
    if (geteuid() == 0) {
        if (!ensureSwayUser()) {
            return fail(QStringLiteral("cannot create the user %1 for sway").arg(kSwayUser));
        }
        succeeds("chown", {kSwayUser, runtime});
        arguments =
            QStringList{"--reuid", kSwayUser, "--regid", kSwayUser, "--init-groups", program} +
            arguments;
        program = "setpriv";
    }
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!startDaemon("sway", program, arguments, env)) {
        return false;
    }
    // Clients reach sway by the socket's full path, so they keep a runtime folder of their own.
    if (!waitUntil(
            [&] {
                const QDir dir(runtime);
                const QStringList display = dir.entryList({"wayland-*"}, QDir::System);
                const QStringList ipc = dir.entryList({"sway-ipc.*.sock"}, QDir::System);
                for (const QString& name : display) {
                    if (!name.endsWith(".lock")) {
                        m_waylandDisplay = dir.filePath(name);
                    }
                }
                if (!ipc.isEmpty()) {
                    m_swaySocket = dir.filePath(ipc.first());
                }
                return (!m_waylandDisplay.isEmpty() && !m_swaySocket.isEmpty()) ||
                       m_daemons.back()->state() == QProcess::NotRunning;
            },
            15000) ||
        m_daemons.back()->state() == QProcess::NotRunning) {
        return fail("sway did not start", "sway");
    }
    // The outputs take their places from the configuration a moment after the socket is up.
    const bool laidOut = waitUntil(
        [&] {
            const auto answer = QJsonDocument::fromJson(
                run("swaymsg", {"-r", "-t", "get_outputs"}).standardOutput.toUtf8());
            int placed = 0;
            for (const QJsonValue& value : answer.array()) {
                const QJsonObject rect = value["rect"].toObject();
                const QRect at(rect["x"].toInt(), rect["y"].toInt(), rect["width"].toInt(),
                               rect["height"].toInt());
                for (const Output& output : outputs()) {
                    placed += output.name == value["name"].toString() && output.geometry == at;
                }
            }
            return placed == outputs().size();
        },
        10000);
    return laidOut || fail("sway's outputs are not where the configuration puts them", "sway");
}

bool WaylandSession::startDaemon(const QString& name, const QString& program,
                                 const QStringList& arguments,
                                 const QProcessEnvironment& environment) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardOutputFile(filePath("logs/" + name));
    process->start(program, arguments);
    if (!process->waitForStarted(5000)) {
        return fail(QStringLiteral("%1 did not start: %2").arg(program, process->errorString()));
    }
    m_daemons.push_back(std::move(process));
    return true;
}

bool WaylandSession::waitForBusName(const QString& name, const QString& owner) {
    QDBusConnectionInterface* bus = QDBusConnection(m_busConnection).interface();
    const QProcess* daemon = m_daemons.back().get();
    waitUntil(
        [&] {
            return bus->isServiceRegistered(name).value() ||
                   daemon->state() == QProcess::NotRunning;
        },
        15000);
    return (daemon->state() == QProcess::Running && bus->isServiceRegistered(name).value()) ||
           fail(QStringLiteral("%1 never took %2").arg(owner, name), owner);
}

QProcessEnvironment WaylandSession::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.insert("WAYLAND_DISPLAY", m_waylandDisplay);
    env.insert("SWAYSOCK", m_swaySocket);
    env.insert("XDG_SESSION_TYPE", "wayland");
    env.insert("XDG_CURRENT_DESKTOP", "sway");
    env.insert("DBUS_SESSION_BUS_ADDRESS", m_busAddress);
    env.insert("XDG_RUNTIME_DIR", filePath("runtime"));
    env.insert("XDG_CONFIG_HOME", filePath("config"));
    env.insert("HOME", m_home.path());
    env.insert("QT_QPA_PLATFORM", "wayland");
    env.insert("CANBERRA_DRIVER", "null");
    // Tests read the app's messages; a journal on the machine would take them.
    env.insert("QT_FORCE_STDERR_LOGGING", "1");
    for (auto it = m_extraEnvironment.cbegin(); it != m_extraEnvironment.cend(); ++it) {
        env.insert(it.key(), it.value());
    }
    return env;
}

bool WaylandSession::startApp(const QStringList& arguments) {
    const QString socket = filePath("runtime/quorvale.socket");
    m_app = test::startApp(environment(), arguments, m_appErrors);
    return test::appAnswers(*m_app, socket);
}

int WaylandSession::quitApp() {
    if (!m_app) {
        return -1;
    }
    m_app->terminate();
    // Serving the event loop meanwhile: the sanitizers' reports arrive on standard error.
    const bool ended = waitUntil([&] { return m_app->state() == QProcess::NotRunning; }, 30000);
    return ended && m_app->exitStatus() == QProcess::NormalExit ? m_app->exitCode() : -1;
}

CommandOutput WaylandSession::run(const QString& program, const QStringList& arguments,
                                  int timeoutMs) const {
    return runCommand(environment(), program, arguments, timeoutMs);
}

CommandOutput WaylandSession::runQuorvale(const QStringList& arguments, int timeoutMs) const {
    return run(QUORVALE_BINARY, arguments, timeoutMs);
}

QProcess* WaylandSession::startHelper(const QString& program, const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(program, arguments);
    if (!process->waitForStarted(5000)) {
        return nullptr;
    }
    m_helpers.push_back(std::move(process));
    return m_helpers.back().get();
}

QImage WaylandSession::grab(const QString& output) const {
    const QString path = filePath("grab.png");
    QFile::remove(path);
    return run("grim", {"-o", output, path}).exitCode == 0 ? QImage(path) : QImage();
}

bool WaylandSession::setBackground(const QString& output, const QImage& image) {
    const QString path = filePath(output + "-background.png");
    if (!image.save(path)) {
        return false;
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    return run("swaymsg", {QStringLiteral("output %1 bg %2 stretch").arg(output, path)}).exitCode ==
               0 &&
           waitUntil([&] { return sameImage(grab(output), image); }, 10000);
}

QString WaylandSession::outputOfWindow(const QString& title) const {
    const QJsonObject tree =
        QJsonDocument::fromJson(run("swaymsg", {"-r", "-t", "get_tree"}).standardOutput.toUtf8())
            .object();
    std::function<bool(const QJsonObject&)> holds = [&](const QJsonObject& node) {
        if (node["name"].toString() == title && node["type"].toString() != "output") {
            return true;
        }
        for (const char* children : {"nodes", "floating_nodes"}) {
            for (const QJsonValue& child : node[children].toArray()) {
                if (holds(child.toObject())) {
                    return true;
                }
            }
        }
        return false;
    };
    for (const QJsonValue& output : tree["nodes"].toArray()) {
        if (holds(output.toObject())) {
            return output["name"].toString();
        }
    }
    return {};
}

bool WaylandSession::pointer(const QString& command) {
    if (!m_pointer) {
        QRect layout;
        for (const Output& output : outputs()) {
            layout |= output.geometry;
        }
        m_pointer = startHelper(
            QUORVALE_TEST_TOOLS_DIR "/quorvale-virtual-pointer",
            {QString::number(layout.right() + 1), QString::number(layout.bottom() + 1)});
        if (!m_pointer) {
            return false;
        }
    }
    m_pointer->write(command.toUtf8() + '\n');
    int acks = 0;
    return waitUntil(
               [&] {
                   while (m_pointer->canReadLine()) {
                       acks += m_pointer->readLine() == "ok\n";
                   }
                   return acks >= 1 || m_pointer->state() != QProcess::Running;
               },
               5000) &&
           acks == 1;
}

bool WaylandSession::drag(QPoint from, QPoint to) {
    // Several steps, as a hand moves: a selection may ignore a press that lands as a jump.
    bool ok = movePointer(from) && pressButton();
    for (int step = 1; ok && step <= 4; ++step) {
        ok = movePointer(from + (to - from) * step / 4);
    }
    return ok && releaseButton();
}

QString WaylandSession::clipboardText() const {
    const CommandOutput output = run("wl-paste", {"--no-newline"});
    return output.exitCode == 0 ? output.standardOutput : QString();
}

bool WaylandSession::setClipboardText(const QString& text) {
    // In the foreground it serves the selection until someone else takes it or we stop it.
    return startHelper("wl-copy", {"--foreground", "--", text}) &&
           waitUntil([&] { return clipboardText() == text; });
}

} // namespace quorvale::test
