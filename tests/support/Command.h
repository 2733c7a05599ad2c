#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <memory>

class QProcess;

namespace quorvale::test {

struct CommandOutput {
    int exitCode = -1;
    bool finished = false;
    QString standardOutput;
    QString standardError;
};

// Runs a program to its end while serving our own event loop: the program may talk to a
// server in this process.
CommandOutput runCommand(const QProcessEnvironment& environment, const QString& program,
                         const QStringList& arguments, int timeoutMs = 10000);

// Starts the app. What it writes to standard error is echoed and appended to `errors` (which
// must outlive the process).
std::unique_ptr<QProcess> startApp(const QProcessEnvironment& environment,
                                   const QStringList& arguments, QByteArray& errors);
// Waits until the app answers on its socket; false if it ends or never answers.
bool appAnswers(QProcess& app, const QString& socket);

} // namespace quorvale::test
