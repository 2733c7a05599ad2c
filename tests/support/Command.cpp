#include "support/Command.h"

#include "support/Wait.h"

#include <QProcess>

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

} // namespace quorvale::test
