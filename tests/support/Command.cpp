#include "support/Command.h"

#include "support/Wait.h"

#include "app/InstanceClient.h"

#include <QProcess>
#include <cstdio>

namespace quorvale::test {

CommandOutput runCommand(const QProcessEnvironment& environment, const QString& program,
                         const QStringList& arguments, int timeoutMs) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    CommandOutput output;
    output.finished = process.waitForStarted(5000) &&
                      waitUntil([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
    if (!output.finished) {
        process.kill();
        process.waitForFinished(1000);
    }
    output.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    output.standardOutput = QString::fromUtf8(process.readAllStandardOutput());
    output.standardError = QString::fromUtf8(process.readAllStandardError());
    return output;
}

std::unique_ptr<QProcess> startApp(const QProcessEnvironment& environment,
                                   const QStringList& arguments, QByteArray& errors) {
    auto app = std::make_unique<QProcess>();
    app->setProcessEnvironment(environment);
    app->setProcessChannelMode(QProcess::SeparateChannels);
    errors.clear();
    QProcess* process = app.get();
    QObject::connect(process, &QProcess::readyReadStandardError, process, [process, &errors] {
        const QByteArray chunk = process->readAllStandardError();
        errors += chunk;
        std::fwrite(chunk.constData(), 1, size_t(chunk.size()), stderr);
    });
    app->start(QUORVALE_BINARY, arguments);
    app->waitForStarted(5000);
    return app;
}

bool appAnswers(QProcess& app, const QString& socket) {
    // A sanitized build starting on a busy machine may let a ping time out: ask until it
    // answers or ends.
    return waitUntil(
               [&] {
                   return app.state() != QProcess::Running || InstanceClient::isRunning(socket);
               },
               30000) &&
           app.state() == QProcess::Running;
}

} // namespace quorvale::test
