#include "platform/linux/JsonDefaultsStore.h"

#include "platform/linux/TypedJsonCodec.h"

#include "common/LogCategories.h"
#include <QCoreApplication>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvale::platform {
namespace {

void logLine(const QString& line) {
    qCWarning(Log::general).noquote() << "Settings:" << line;
}

// Keeps other processes out of a read-modify-write of the file, so that none of them
// replaces it with a version missing another's change. Best effort: without the folder
// there is nothing to protect.
class FolderLock {
public:
    explicit FolderLock(const QString& folder)
        : m_fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (m_fd >= 0) {
            ::flock(m_fd, LOCK_EX);
        }
    }
    ~FolderLock() {
        if (m_fd >= 0) {
            ::close(m_fd); // releases the lock
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd;
};

} // namespace

JsonDefaultsStore::JsonDefaultsStore(QString path,
                                     std::function<void(const QString&)> notifyFailure)
    : m_path(std::move(path))
    , m_notifyFailure(std::move(notifyFailure)) {
    std::lock_guard lock(m_mutex);
    reloadIfChangedLocked();
}

QString JsonDefaultsStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/quorvale/defaults.json");
}

void JsonDefaultsStore::registerDefaults(const QVariantMap& defaults) {
    std::lock_guard lock(m_mutex);
    for (auto it = defaults.begin(); it != defaults.end(); ++it) {
        m_registered.insert(it.key(), TypedJsonCodec::normalized(it.value()).value_or(it.value()));
    }
}

QVariant JsonDefaultsStore::objectForKey(const QString& key) const {
    std::lock_guard lock(m_mutex);
    reloadIfChangedLocked();
    const auto stored = m_stored.constFind(key);
    return stored != m_stored.constEnd() ? *stored : m_registered.value(key);
}

void JsonDefaultsStore::setObject(const QVariant& value, const QString& key) {
    std::optional<QVariant> normalized;
    if (value.isValid()) {
        normalized = TypedJsonCodec::normalized(value);
        if (!normalized) {
            logLine(QStringLiteral("cannot store a value of type %1 under \"%2\"")
                        .arg(QString::fromLatin1(value.typeName()), key));
            return;
        }
    }

    std::lock_guard writeLock(m_writeMutex);
    const int folderError = ensureFolder();
    FolderLock otherProcesses(QFileInfo(m_path).absolutePath());
    QByteArray content;
    {
        std::lock_guard lock(m_mutex);
        // Merge with what another instance may have written since we last looked.
        reloadIfChangedLocked();
        if (normalized) {
            m_stored.insert(key, *normalized);
        } else {
            m_stored.remove(key);
        }
        if (m_fileProtected) {
            logLine(QStringLiteral("\"%1\" not saved: %2 is left as it is").arg(key, m_path));
            return;
        }
        content = TypedJsonCodec::serializeObject(m_stored);
    }
    // The stamp is left alone: the next read loads our own file back.
    reportWrite(folderError != 0 ? folderError : writeFile(content));
}

void JsonDefaultsStore::reportWrite(int error) {
    if (error == 0) {
        m_failureReported = false;
        return;
    }
    const QString reason =
        error == ENOSPC || error == EDQUOT
            ? QCoreApplication::translate("JsonDefaultsStore", "the disk is full")
        : error == EROFS ? QCoreApplication::translate("JsonDefaultsStore", "the disk is read-only")
        : error == EACCES || error == EPERM
            ? QCoreApplication::translate("JsonDefaultsStore", "permission denied")
            : QString::fromLocal8Bit(std::strerror(error));
    logLine(QStringLiteral("could not write %1: %2").arg(m_path, reason));
    if (m_failureReported || !m_notifyFailure) {
        return;
    }
    m_failureReported = true;
    m_notifyFailure(QCoreApplication::translate(
                        "JsonDefaultsStore",
                        "Quorvale could not save your settings to %1: %2. Changes made now last "
                        "only until Quorvale quits.")
                        .arg(m_path, reason));
}

std::optional<QString> JsonDefaultsStore::takeRecoveryNotice() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_notice, std::nullopt);
}

JsonDefaultsStore::FileStamp JsonDefaultsStore::currentStamp() const {
    struct stat info {};
    if (::stat(QFile::encodeName(m_path).constData(), &info) != 0) {
        FileStamp stamp;
        stamp.error = errno;
        return stamp;
    }
    return stampOf(info);
}

JsonDefaultsStore::FileStamp JsonDefaultsStore::stampOf(const struct stat& info) {
    FileStamp stamp;
    stamp.regular = S_ISREG(info.st_mode);
    stamp.size = info.st_size;
    stamp.mtimeNs = qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    stamp.inode = info.st_ino;
    stamp.device = info.st_dev;
    return stamp;
}

void JsonDefaultsStore::reloadIfChangedLocked() const {
    const FileStamp stamp = currentStamp();
    if (m_loaded && stamp == m_stamp) {
        return;
    }
    loadLocked(stamp);
}

void JsonDefaultsStore::loadLocked(const FileStamp& stamp) const {
    m_loaded = true;
    m_stamp = stamp;
    m_fileProtected = false;
    m_stored.clear();
    m_loadedVersion.reset();

    if (stamp.error == ENOENT || stamp.error == ENOTDIR) {
        return; // nothing saved yet
    }
    const QString unopenable = QCoreApplication::translate(
        "JsonDefaultsStore",
        "Your settings file %1 could not be opened (%2). Quorvale started with "
        "default settings; changes will not be saved.");
    if (stamp.error != 0) {
        protectLocked(unopenable.arg(m_path, QString::fromLocal8Bit(std::strerror(stamp.error))));
        return;
    }
    if (!stamp.regular) {
        protectLocked(
            QCoreApplication::translate("JsonDefaultsStore",
                                        "Your settings file %1 is not a regular file. Quorvale "
                                        "started with default settings; changes will not be saved.")
                .arg(m_path));
        return;
    }

    auto file = std::make_unique<QFile>(m_path);
    struct stat info {};
    QByteArray content;
    bool readOk = file->open(QIODevice::ReadOnly) && ::fstat(file->handle(), &info) == 0;
    if (readOk) {
        m_stamp = stampOf(info); // the version actually read, even if replaced since stat()
        content = file->readAll();
        readOk = file->error() == QFileDevice::NoError;
    }
    if (!readOk) {
        protectLocked(unopenable.arg(m_path, file->errorString()));
        return;
    }

    std::optional<QVariantMap> parsed = TypedJsonCodec::parseObject(content);
    if (!parsed) {
        file.reset();
        setAsideLocked();
        return;
    }
    m_stored = std::move(*parsed);
    m_loadedVersion = std::move(file);
}

void JsonDefaultsStore::setAsideLocked() const {
    const QString base = m_path + QStringLiteral(".corrupt-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = base;
    // QFile::rename never replaces an existing file, so a name taken meanwhile is skipped.
    for (int suffix = 2; suffix < 1000; ++suffix) {
        if (!QFileInfo::exists(target) && QFile::rename(m_path, target)) {
            m_stamp = currentStamp();
            m_notice = QCoreApplication::translate(
                           "JsonDefaultsStore",
                           "Your settings file could not be read and was moved to %1. "
                           "Quorvale started with default settings.")
                           .arg(target);
            logLine(*m_notice);
            return;
        }
        if (!QFileInfo::exists(m_path)) {
            m_stamp = currentStamp();
            return; // another instance moved it aside and told the user
        }
        target = base + QLatin1Char('-') + QString::number(suffix);
    }
    protectLocked(
        QCoreApplication::translate("JsonDefaultsStore",
                                    "Your settings file %1 could not be read, and it could not be "
                                    "moved aside. Quorvale started with default settings; changes "
                                    "will not be saved.")
            .arg(m_path));
}

void JsonDefaultsStore::protectLocked(const QString& notice) const {
    m_fileProtected = true;
    m_notice = notice;
    logLine(notice);
}

int JsonDefaultsStore::ensureFolder() const {
    const QString folder = QFileInfo(m_path).absolutePath();
    if (QFileInfo(folder).isDir()) {
        return 0;
    }
    QDir().mkpath(QFileInfo(folder).absolutePath());
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST) {
        return errno;
    }
    return QFileInfo(folder).isDir() ? 0 : ENOTDIR;
}

int JsonDefaultsStore::writeFile(const QByteArray& content) const {
    // Every step is checked, the last write included: a full disk often fails only when the
    // data actually reaches it. Until the rename nothing has touched the old file.
    // A linked settings file (say, from a dotfiles folder) stays linked: its target is replaced.
    const QFileInfo info(m_path);
    const QString resolved = info.isSymLink() ? info.canonicalFilePath() : QString();
    const QString finalPath = resolved.isEmpty() ? m_path : resolved;
    const QByteArray target = QFile::encodeName(finalPath);
    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC); // mode 0600
    if (fd < 0) {
        return errno;
    }
    int error = 0;
    for (qsizetype done = 0; done < content.size() && error == 0;) {
        const ssize_t written =
            ::write(fd, content.constData() + done, std::size_t(content.size() - done));
        if (written > 0) {
            done += written;
        } else if (written == 0 || errno != EINTR) {
            error = written == 0 ? EIO : errno;
        }
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.constData(), target.constData()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.constData());
        return error;
    }
    // The rename itself reaches the disk with the folder.
    const int folder = ::open(QFile::encodeName(QFileInfo(finalPath).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return 0;
}

} // namespace quorvale::platform
