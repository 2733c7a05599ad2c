#include "app/InstanceAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvale {
namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("InstanceAccess", text);
}

bool usableRuntimeFolder(const QString& folder) {
    struct stat info {};
    const QByteArray name = QFile::encodeName(folder);
    return !folder.isEmpty() && ::stat(name.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && ::access(name.constData(), W_OK | X_OK) == 0;
}

} // namespace

QString InstanceAccess::socketFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (usableRuntimeFolder(runtime)) {
        return runtime;
    }
    return QDir::tempPath() + QStringLiteral("/quorvale-%1").arg(::geteuid());
}

bool InstanceAccess::secureFolder(const QString& folder, bool create, QString* error) {
    const QByteArray name = QFile::encodeName(folder);
    if (create) {
        QDir().mkpath(QFileInfo(folder).absolutePath());
        if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
            *error = tr("cannot create the folder %1: %2")
                         .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
    }
    // lstat, not stat: in a shared folder anyone may have put a link to their own folder.
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0) {
        *error = tr("the folder %1 cannot be used: %2")
                     .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        *error = tr("%1 is not a folder (it may be a link someone else made); refusing to use it")
                     .arg(folder);
        return false;
    }
    if (info.st_uid != ::geteuid()) {
        *error = tr("the folder %1 belongs to another user (uid %2); refusing to use it")
                     .arg(folder)
                     .arg(info.st_uid);
        return false;
    }
    // The session's runtime folder is the session's business; a folder of our own is
    // closed to everyone else.
    if (create && (info.st_mode & 077) != 0 && folder != qEnvironmentVariable("XDG_RUNTIME_DIR") &&
        ::chmod(name.constData(), 0700) == 0) {
        info.st_mode &= ~mode_t(077);
    }
    if ((info.st_mode & 022) != 0) {
        *error = tr("the folder %1 can be changed by other users; refusing to use it").arg(folder);
        return false;
    }
    return true;
}

bool InstanceAccess::peerIsThisUser(qintptr socketDescriptor) {
    struct ucred credentials {};
    socklen_t length = sizeof credentials;
    return ::getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) ==
               0 &&
           credentials.uid == ::geteuid();
}

} // namespace quorvale
