#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

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

} // namespace quorvale::test
