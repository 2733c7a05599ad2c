#include "platform/linux/XdgAutostartLoginItem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace quorvale::platform {
namespace {

const QString kEntryFileName = QStringLiteral("com.vantrelo.Quorvale.desktop");

// Whether the [Desktop Entry] group switches the entry off, as session managers read it.
bool entryIsSwitchedOff(const QByteArray& content) {
    bool inMainGroup = false;
    for (const QByteArray& rawLine : content.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inMainGroup || equals < 0) {
            continue;
        }
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1).trimmed();
        if ((key == "Hidden" && value == "true") ||
            (key == "X-GNOME-Autostart-enabled" && value == "false")) {
            return true;
        }
    }
    return false;
}

} // namespace

XdgAutostartLoginItem::XdgAutostartLoginItem(QString autostartFolder, QString execCommand)
    : m_folder(std::move(autostartFolder))
    , m_execCommand(std::move(execCommand)) {}

QString XdgAutostartLoginItem::defaultAutostartFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart");
}

QString XdgAutostartLoginItem::defaultExecCommand() {
    const QString program = QCoreApplication::applicationFilePath();
    return program.isEmpty() ? QString() : quoteExecArgument(program);
}

QString XdgAutostartLoginItem::quoteExecArgument(const QString& argument) {
    QString quoted;
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
            quoted += u'\\';
        }
        quoted += c;
    }
    // The value-level escapes apply on top of the quoting, so every backslash doubles.
    QString value;
    for (const QChar c : quoted) {
        if (c == u'\\') {
            value += QStringLiteral("\\\\");
        } else if (c == u'\n') {
            value += QStringLiteral("\\n");
        } else if (c == u'%') {
            value += QStringLiteral("%%");
        } else {
            value += c;
        }
    }
    return u'"' + value + u'"';
}

QString XdgAutostartLoginItem::entryPath() const {
    return m_folder + u'/' + kEntryFileName;
}

LoginItemService::Status XdgAutostartLoginItem::status() const {
    QFile file(entryPath());
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) {
        return notRegistered;
    }
    return entryIsSwitchedOff(file.readAll()) ? notRegistered : enabled;
}

std::optional<QString> XdgAutostartLoginItem::registerItem() {
    if (m_execCommand.trimmed().isEmpty()) {
        return QCoreApplication::translate("XdgAutostartLoginItem",
                                           "The path of the Quorvale program is unknown.");
    }
    if (!QDir().mkpath(m_folder)) {
        return QCoreApplication::translate("XdgAutostartLoginItem",
                                           "Could not create the folder %1.")
            .arg(m_folder);
    }
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Quorvale\n"
                                         "Comment=Copy text from anywhere on the screen\n"
                                         "Exec=%1\n"
                                         "Icon=com.vantrelo.Quorvale\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(m_execCommand);
    QSaveFile file(entryPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(entry.toUtf8()) < 0 || !file.commit()) {
        return QCoreApplication::translate("XdgAutostartLoginItem", "Could not write %1: %2.")
            .arg(entryPath(), file.errorString());
    }
    return std::nullopt;
}

std::optional<QString> XdgAutostartLoginItem::unregisterItem() {
    QFile file(entryPath());
    if (!QFileInfo::exists(entryPath()) && !QFileInfo(entryPath()).isSymLink()) {
        return std::nullopt;
    }
    if (!file.remove()) {
        return QCoreApplication::translate("XdgAutostartLoginItem", "Could not remove %1: %2.")
            .arg(entryPath(), file.errorString());
    }
    return std::nullopt;
}

} // namespace quorvale::platform
