#pragma once

#include <QString>
#include <QStringList>

namespace quorvale {

// What the user asked for on the command line.
struct CommandLine {
    enum class Action {
        startApp,
        showHelp,
        showVersion,
        recognizeFile,
        capture,
        recognizeClipboard,
        ocr,
        invalid
    };

    Action action = Action::startApp;
    QString path;            // recognizeFile
    bool windowMode = false; // capture
    QString languages;       // ocr --lang, as typed
    QStringList images;      // ocr
    QString error;           // invalid

    static CommandLine parse(const QStringList& arguments); // without the program name
    static QString helpText();
};

} // namespace quorvale
