#pragma once

#include "platform/DefaultsStore.h"

#include <QFile>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

struct stat;

namespace quorvale::platform {

// Settings kept as one JSON object in a file. Registered defaults stay in memory. Every
// write replaces the whole file atomically, merging what another running instance wrote
// since; reads pick such changes up. A file that cannot be read is never overwritten:
// unparseable content is moved aside first, an unopenable file is left alone and writes
// are dropped. A write that fails at any step leaves the old file as it was.
class JsonDefaultsStore : public DefaultsStore {
public:
    // `notifyFailure` is told, from the writing thread, when settings could not be saved;
    // once, until a save succeeds again.
    explicit JsonDefaultsStore(QString path = defaultPath(),
                               std::function<void(const QString&)> notifyFailure = {});

    // $XDG_CONFIG_HOME/quorvale/defaults.json (~/.config when unset).
    static QString defaultPath();

    const QString& path() const { return m_path; }

    void registerDefaults(const QVariantMap& defaults) override;
    QVariant objectForKey(const QString& key) const override;
    // An invalid QVariant removes the key.
    void setObject(const QVariant& value, const QString& key) override;

    // A sentence for the user about settings that could not be loaded, given once.
    std::optional<QString> takeRecoveryNotice() override;

private:
    // What identifies one version of the file; every atomic replacement brings a new inode.
    struct FileStamp {
        int error = 0; // errno of stat(), 0 when the path exists
        bool regular = false;
        qint64 size = 0;
        qint64 mtimeNs = 0;
        quint64 inode = 0;
        quint64 device = 0;
        friend bool operator==(const FileStamp&, const FileStamp&) = default;
    };

    FileStamp currentStamp() const;
    static FileStamp stampOf(const struct stat& info);
    // Callers hold m_mutex.
    void reloadIfChangedLocked() const;
    void loadLocked(const FileStamp& stamp) const;
    void setAsideLocked() const;
    void protectLocked(const QString& notice) const;
    // errno of the step that failed, 0 on success.
    int ensureFolder() const;
    int writeFile(const QByteArray& content) const;
    void reportWrite(int error);

    const QString m_path;
    const std::function<void(const QString&)> m_notifyFailure;
    bool m_failureReported = false; // guarded by m_writeMutex
    // Serialises file replacement; taken before m_mutex, never inside it.
    std::mutex m_writeMutex;
    mutable std::mutex m_mutex;
    QVariantMap m_registered;
    mutable QVariantMap m_stored;
    mutable FileStamp m_stamp;
    mutable bool m_loaded = false;
    // The file on disk holds something we could not read: do not replace it.
    mutable bool m_fileProtected = false;
    mutable std::optional<QString> m_notice;
    // The version last loaded, held open so that no later replacement can reuse its inode.
    mutable std::unique_ptr<QFile> m_loadedVersion;
};

} // namespace quorvale::platform
