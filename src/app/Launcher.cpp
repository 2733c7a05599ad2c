#include "app/Launcher.h"

#include "app/AppDelegate.h"
#include "app/CaptureService.h"
#include "app/ClipboardImageReader.h"
#include "app/CommandLine.h"
#include "app/ImageLoader.h"
#include "app/InstanceClient.h"
#include "app/InstanceServer.h"
#include "app/QuitSignals.h"
#include "app/UserNotice.h"
#include "common/BuildInfo.h"
#include "platform/LanguageTable.h"
#include "platform/Platform.h"
#include "preferences/PreferenceManager.h"
#include "recognition/OCRService.h"
#include "shared/Log.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <unistd.h>

namespace quorvale {
namespace {

// Recognising a very large image can take a while; the command waits that long at most.
constexpr int kFileReplyTimeoutMs = 10 * 60 * 1000;

void printError(const QString& message) {
    std::fprintf(stderr, "quorvale: %s\n", qPrintable(message));
}

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    return arguments;
}

// Command-line output must stay clean: image decoders warn about damaged files, and the
// command reports those itself.
void quietMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg || type == QtCriticalMsg) {
        std::fprintf(stderr, "quorvale: %s\n", qPrintable(message));
    }
}

// Decoders of damaged files (libpng, libtiff) write straight to stderr; the command reports
// those files in its own words, so their chatter is held back while decoding.
class StderrSilencer {
public:
    StderrSilencer()
        : m_saved(::dup(STDERR_FILENO)) {
        std::fflush(stderr);
        const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (m_saved >= 0 && devNull >= 0) {
            ::dup2(devNull, STDERR_FILENO);
        }
        if (devNull >= 0) {
            ::close(devNull);
        }
    }
    ~StderrSilencer() {
        std::fflush(stderr);
        if (m_saved >= 0) {
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
        }
    }
    StderrSilencer(const StderrSilencer&) = delete;
    StderrSilencer& operator=(const StderrSilencer&) = delete;

private:
    int m_saved;
};

ImageLoader::LoadResult loadQuietly(const QString& path) {
    StderrSilencer silencer;
    return ImageLoader::load(path);
}

int runOcr(int argc, char** argv, const CommandLine& line,
           const Launcher::PlatformFactory& makePlatform) {
    qInstallMessageHandler(quietMessageHandler);
    // Vector images draw their text with fonts, which only Qt's GUI part provides; the
    // offscreen platform gives it without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::optional<QStringList> explicitLanguages;
    if (!line.languages.isEmpty()) {
        auto parsed = LanguageTable::parseList(line.languages);
        if (!parsed.isSuccess()) {
            printError(parsed.error());
            return 2;
        }
        explicitLanguages = parsed.value();
    }
    platform::install(makePlatform({[](const QString& text) { printError(text); }, true}));
    // The settings are only read when the command line names no languages.
    const QStringList languages =
        explicitLanguages ? *explicitLanguages : PreferenceManager::shared().recognitionLanguages();

    const OCRService ocrService;
    // The engine loads while the first image is read and prepared.
    ocrService.warmUp(languages);
    int exitCode = 0;
    bool printedAny = false;
    for (const QString& path : line.images) {
        ImageLoader::LoadResult loaded = loadQuietly(path);
        if (!loaded.isSuccess()) {
            printError(path + QStringLiteral(": ") + loaded.error().description);
            exitCode = 1;
            continue;
        }
        std::promise<OCRService::OCRResult> promise;
        auto done = [&promise](OCRService::OCRResult result) { promise.set_value(result); };
        ocrService.recognizeText(loaded.value(), languages, done);
        const OCRService::OCRResult result = promise.get_future().get();
        const QString text =
            result.isSuccess() ? CaptureService::cleanRecognizedText(result.value()) : QString();
        if (text.isEmpty()) {
            printError(path + QStringLiteral(": ") +
                       (result.isSuccess() ? OCRService::OCRError::noTextFound() : result.error())
                           .localizedDescription());
            exitCode = 1;
            continue;
        }
        std::fputs(qPrintable((printedAny ? QStringLiteral("\n") : QString()) + text + u'\n'),
                   stdout);
        std::fflush(stdout);
        printedAny = true;
    }
    // Unloading the engines and tearing down Qt would only delay the exit.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(exitCode);
}

int sendToRunningInstance(int argc, char** argv, const CommandLine& line) {
    qInstallMessageHandler(quietMessageHandler);
    QCoreApplication app(argc, argv);
    InstanceRequest request;
    int timeoutMs = 5000;
    if (line.action == CommandLine::Action::recognizeFile) {
        // Check what can be checked here, so mistakes get a precise message.
        const QFileInfo info(line.path);
        if (!info.exists() || !info.isFile() || !info.isReadable() || info.size() == 0) {
            const auto loaded = ImageLoader::load(line.path);
            printError(line.path + QStringLiteral(": ") + loaded.error().description);
            return 1;
        }
        request.command = InstanceRequest::Command::file;
        request.path = info.absoluteFilePath();
        timeoutMs = kFileReplyTimeoutMs;
    } else if (line.action == CommandLine::Action::recognizeClipboard) {
        request.command = InstanceRequest::Command::clipboard;
        timeoutMs = kFileReplyTimeoutMs;
    } else {
        request.command = InstanceRequest::Command::capture;
        request.windowMode = line.windowMode;
    }
    QString error;
    const auto reply =
        InstanceClient::send(InstanceProtocol::socketPath(), request, timeoutMs, &error);
    if (!reply) {
        printError(error == InstanceClient::kNotRunning
                       ? error + QStringLiteral("; start it first with: quorvale")
                       : error);
        return 1;
    }
    if (!reply->ok) {
        printError(line.action == CommandLine::Action::recognizeFile
                       ? line.path + QStringLiteral(": ") + reply->message
                       : reply->message);
        return 1;
    }
    return 0;
}

void handleRequest(AppDelegate& delegate, const InstanceRequest& request,
                   const InstanceServer::Reply& reply) {
    switch (request.command) {
    case InstanceRequest::Command::ping:
        reply({true, {}});
        return;
    case InstanceRequest::Command::reopen:
        delegate.applicationShouldHandleReopen(false);
        reply({true, {}});
        return;
    case InstanceRequest::Command::capture:
        delegate.startCapture(request.windowMode);
        reply({true, {}});
        return;
    case InstanceRequest::Command::file:
        delegate.recognizeImageFile(request.path, [reply](const AppDelegate::CaptureResult& r) {
            if (r.isSuccess()) {
                reply({true, QStringLiteral("Copy Text Succeed")});
            } else if (r.error().reason().isEmpty()) {
                reply({false, r.error().localizedDescription()});
            } else {
                reply({false, r.error().localizedDescription() + QStringLiteral(": ") +
                                  r.error().reason()});
            }
        });
        return;
    case InstanceRequest::Command::clipboard:
        // The running instance's clipboard is the one the user copied to.
        ClipboardImageReader::read(
            platform::current().clipboard, [weakDelegate = QPointer<AppDelegate>(&delegate),
                                            reply](const ClipboardImageReader::Outcome& outcome) {
                if (!weakDelegate) {
                    return;
                }
                if (!outcome.image) {
                    reply({false,
                           outcome.failure.isEmpty()
                               ? QStringLiteral("there is no image on the clipboard")
                           : outcome.unreadable
                               ? QStringLiteral("the clipboard cannot be read: ") + outcome.failure
                               : QStringLiteral("the image on the clipboard cannot be "
                                                "used: ") +
                                     outcome.failure});
                    return;
                }
                weakDelegate->recognizeBitmap(
                    *outcome.image, [reply](const AppDelegate::CaptureResult& r) {
                        reply(r.isSuccess()
                                  ? InstanceReply{true, QStringLiteral("Copy Text Succeed")}
                                  : InstanceReply{false, r.error().localizedDescription()});
                    });
            });
        return;
    }
}

int runApp(int argc, char** argv, const Launcher::PlatformFactory& makePlatform) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(build::kApplicationName));
    QApplication::setApplicationVersion(QString::fromLatin1(build::kVersion));
    QApplication::setDesktopFileName(QString::fromLatin1(build::kApplicationId));
    QApplication::setQuitOnLastWindowClosed(false);
    // Installed translations live in <prefix>/share/quorvale/translations; Qt's own dialogs
    // take theirs from Qt's folder.
    QTranslator qtTranslator;
    QTranslator translator;
    if (qtTranslator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qtTranslator);
    }
    if (translator.load(QLocale(), QStringLiteral("quorvale"), QStringLiteral("_"),
                        QCoreApplication::applicationDirPath() +
                            QStringLiteral("/../share/quorvale/translations"))) {
        QCoreApplication::installTranslator(&translator);
    }

    const QString socketPath = InstanceProtocol::socketPath();
    QString error;
    InstanceRequest reopen;
    reopen.command = InstanceRequest::Command::reopen;
    if (InstanceClient::send(socketPath, reopen, 3000, &error)) {
        return 0;
    }

    platform::install(makePlatform({showUserNotice}));
    Log::installOutput(platform::current().systemLog);
    Log::write(Log::general(), QtInfoMsg, QStringLiteral("Quorvale %1 (build %2) started"),
               {{QString::fromLatin1(build::kVersion), LogPrivacy::public_},
                {QString::fromLatin1(build::kBuildNumber), LogPrivacy::public_}});
    AppDelegate delegate;
    InstanceServer server([&delegate](const InstanceRequest& request, InstanceServer::Reply reply) {
        handleRequest(delegate, request, reply);
    });
    // Another instance may be starting or shutting down: hand over to it once it answers,
    // or take its place once it is gone.
    InstanceServer::ListenResult listening = server.listen(socketPath, &error);
    for (int attempt = 0;
         listening == InstanceServer::ListenResult::anotherInstanceRunning && attempt < 50;
         ++attempt) {
        if (InstanceClient::send(socketPath, reopen, 3000, &error)) {
            return 0;
        }
        QThread::msleep(100);
        listening = server.listen(socketPath, &error);
    }
    if (listening != InstanceServer::ListenResult::listening) {
        showUserNotice(QStringLiteral("cannot listen on %1 (%2); commands from the command line "
                                      "will not reach this instance")
                           .arg(socketPath, error));
    }

    // Where the desktop binds shortcuts itself, its answer decides (see AppDelegate).
    if (!platform::current().hotKeys->isAvailable() && !platform::current().desktopShortcuts) {
        showShortcutsUnavailableNotice();
    }
    if (auto notice = platform::current().defaults->takeRecoveryNotice()) {
        showUserNotice(*notice);
    }
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&server] {
        server.close();
        PreferenceManager::shared().waitForPendingWrites();
    });
    // Logging out or stopping the service quits the same way as the Quit entry.
    const QuitSignals quitSignals([] { QCoreApplication::quit(); });
    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);
    return app.exec();
}

} // namespace

int Launcher::run(int argc, char** argv, const PlatformFactory& makePlatform) {
    const CommandLine line = CommandLine::parse(argumentsOf(argc, argv));
    switch (line.action) {
    case CommandLine::Action::showHelp:
        std::fputs(qPrintable(CommandLine::helpText()), stdout);
        return 0;
    case CommandLine::Action::showVersion:
        std::printf("quorvale %s (build %s)\n", build::kVersion, build::kBuildNumber);
        return 0;
    case CommandLine::Action::invalid:
        printError(line.error);
        std::fputs(qPrintable(QCoreApplication::translate("Launcher", "Try 'quorvale --help'.\n")),
                   stderr);
        return 2;
    case CommandLine::Action::ocr:
        return runOcr(argc, argv, line, makePlatform);
    case CommandLine::Action::recognizeFile:
    case CommandLine::Action::capture:
    case CommandLine::Action::recognizeClipboard:
        return sendToRunningInstance(argc, argv, line);
    case CommandLine::Action::startApp:
        break;
    }
    const int exitCode = runApp(argc, argv, makePlatform);
    // An engine still loading uses the engine library's own caches, which go at exit: the
    // backends wait for such work as they go, so they go first.
    platform::install({});
    return exitCode;
}

} // namespace quorvale
