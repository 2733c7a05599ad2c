#include "app/CommandLine.h"

#include <QCoreApplication>

namespace quorvale {
namespace {

CommandLine invalid(const QString& error) {
    CommandLine line;
    line.action = CommandLine::Action::invalid;
    line.error = error;
    return line;
}

CommandLine parseOcr(QStringList arguments) {
    CommandLine line;
    line.action = CommandLine::Action::ocr;
    bool optionsEnded = false;
    while (!arguments.isEmpty()) {
        const QString argument = arguments.takeFirst();
        if (!optionsEnded && argument == u"--") {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == u"--lang" || argument == u"-l")) {
            if (arguments.isEmpty() || arguments.first().isEmpty()) {
                return invalid(
                    QCoreApplication::translate("CommandLine", "%1 needs a language list")
                        .arg(argument));
            }
            line.languages = arguments.takeFirst();
        } else if (!optionsEnded && argument.startsWith(u"--lang=")) {
            line.languages = argument.mid(7);
            if (line.languages.isEmpty()) {
                return invalid(
                    QCoreApplication::translate("CommandLine", "--lang needs a language list"));
            }
        } else if (!optionsEnded && argument.startsWith(u'-') && argument.size() > 1) {
            return invalid(QCoreApplication::translate("CommandLine", "unknown option %1 for ocr")
                               .arg(argument));
        } else {
            line.images.append(argument);
        }
    }
    if (line.images.isEmpty()) {
        return invalid(QCoreApplication::translate("CommandLine", "ocr needs at least one image"));
    }
    return line;
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments) {
    CommandLine line;
    if (arguments.isEmpty()) {
        return line;
    }
    const QString first = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (first == u"--help" || first == u"-h" || first == u"help") {
        line.action = Action::showHelp;
    } else if (first == u"--version" || first == u"-v") {
        line.action = Action::showVersion;
    } else if (first == u"file") {
        if (rest.size() != 1 || rest.first().isEmpty()) {
            return invalid(
                QCoreApplication::translate("CommandLine", "file needs exactly one image path"));
        }
        line.action = Action::recognizeFile;
        line.path = rest.first();
        return line;
    } else if (first == u"capture") {
        if (rest.size() > 1 || (rest.size() == 1 && rest.first() != u"--window")) {
            return invalid(
                QCoreApplication::translate("CommandLine", "capture takes only --window"));
        }
        line.action = Action::capture;
        line.windowMode = !rest.isEmpty();
        return line;
    } else if (first == u"clipboard") {
        line.action = Action::recognizeClipboard;
    } else if (first == u"ocr") {
        return parseOcr(rest);
    } else {
        return invalid(
            QCoreApplication::translate("CommandLine", "unknown command or option %1").arg(first));
    }
    if (!rest.isEmpty()) {
        return invalid(
            QCoreApplication::translate("CommandLine", "%1 takes no arguments").arg(first));
    }
    return line;
}

QString CommandLine::helpText() {
    return QCoreApplication::translate(
        "CommandLine",
        "Usage: quorvale [COMMAND]\n"
        "Turns text on screen or in images into text on the clipboard.\n"
        "\n"
        "Commands:\n"
        "  (none)                    start Quorvale in the system tray, or open the settings\n"
        "                            of the instance that is already running\n"
        "  file IMAGE                recognise IMAGE in the running instance and copy its text\n"
        "  capture [--window]        start selecting an area (or a window) of the screen\n"
        "  clipboard                 recognise the image on the clipboard and copy its text\n"
        "  ocr [--lang LIST] IMAGE…  print the text of each image; the clipboard is not\n"
        "                            touched. LIST: de-DE,en-US or deu+eng (default: the\n"
        "                            languages chosen in the settings)\n"
        "\n"
        "Options:\n"
        "  -h, --help                show this help\n"
        "  -v, --version             show the version\n"
        "\n"
        "Global shortcuts (Super+Alt+P area, Super+Alt+O window) work on X11 and where a\n"
        "Wayland desktop's shortcuts portal binds them. Elsewhere, or to use other keys,\n"
        "bind these commands in your desktop's own keyboard settings:\n"
        "  quorvale capture\n"
        "  quorvale capture --window\n"
        "  quorvale file IMAGE\n"
        "  quorvale clipboard\n");
}

} // namespace quorvale
