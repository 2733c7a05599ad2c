#include "platform/linux/JsonDefaultsStore.h"
#include "support/ScopedEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using quorvale::platform::JsonDefaultsStore;

namespace {

class JsonDefaultsStoreTest : public ::testing::Test {
protected:
    QString path() const { return dir.filePath("quorvale/defaults.json"); }
    QString folder() const { return dir.filePath("quorvale"); }

    void writeRaw(const QByteArray& content, const QString& at = {}) {
        const QString target = at.isEmpty() ? path() : at;
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    static QByteArray readRaw(const QString& at) {
        QFile file(at);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QByteArray readRaw() const { return readRaw(path()); }
    static mode_t mode(const QString& at) {
        struct stat info {};
        return ::stat(QFile::encodeName(at).constData(), &info) == 0 ? info.st_mode : 0;
    }
    static void chmod(const QString& at, mode_t mode) {
        ::chmod(QFile::encodeName(at).constData(), mode);
    }
    QStringList folderEntries() const {
        return QDir(folder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                                        QDir::Name);
    }
    QStringList asideFiles() const { return folderEntries().filter(".corrupt-"); }

    QTemporaryDir dir;
};

TEST_F(JsonDefaultsStoreTest, ValuesKeepTheirKindAcrossInstances) {
    struct Case {
        const char* key;
        QVariant value;
        QMetaType::Type type;
    };
    const Case cases[] = {
        {"bool", false, QMetaType::Bool},
        {"negative", -7, QMetaType::LongLong},
        {"beyondDoublePrecision", qlonglong(9007199254740993LL), QMetaType::LongLong},
        {"double", 2.5, QMetaType::Double},
        {"wholeDouble", 3.0, QMetaType::Double},
        {"tinyDouble", 1e-300, QMetaType::Double},
        {"string", QString::fromUtf8("a \"quoted\"\\ line\nnext\t\u00e9\U0001F600"),
         QMetaType::QString},
        {"numericString", "12", QMetaType::QString},
        {"list", QStringList{"en-US", "de-DE"}, QMetaType::QStringList},
        {"emptyList", QStringList{}, QMetaType::QStringList},
        {"mixedList", QVariantList{1, "a", true}, QMetaType::QVariantList},
    };
    {
        JsonDefaultsStore store(path());
        for (const Case& c : cases) {
            store.setObject(c.value, c.key);
            EXPECT_EQ(store.objectForKey(c.key).typeId(), c.type) << c.key << " in memory";
        }
    }
    JsonDefaultsStore reopened(path());
    for (const Case& c : cases) {
        const QVariant read = reopened.objectForKey(c.key);
        EXPECT_EQ(read.typeId(), c.type) << c.key;
        EXPECT_EQ(read, c.value) << c.key;
    }
    EXPECT_FALSE(reopened.takeRecoveryNotice());
}

TEST_F(JsonDefaultsStoreTest, HandWrittenFilesReadWithJsonNumberRules) {
    struct Case {
        const char* text;
        QVariant expected;
        QMetaType::Type type;
    };
    const Case cases[] = {
        {"1", qlonglong(1), QMetaType::LongLong},
        {"1.0", 1.0, QMetaType::Double},
        {"1e2", 100.0, QMetaType::Double},
        {"-0.5", -0.5, QMetaType::Double},
        {"99999999999999999999", 1e20, QMetaType::Double},
        {"\"\\u00e9\\ud83d\\ude00\"", QString::fromUtf8("\u00e9\U0001F600"), QMetaType::QString},
        {"[]", QStringList{}, QMetaType::QStringList},
    };
    for (const Case& c : cases) {
        writeRaw(QByteArray("\xEF\xBB\xBF{ \"k\" : ") + c.text + " }\n");
        JsonDefaultsStore store(path());
        EXPECT_EQ(store.objectForKey("k").typeId(), c.type) << c.text;
        EXPECT_EQ(store.objectForKey("k"), c.expected) << c.text;
        EXPECT_FALSE(store.takeRecoveryNotice()) << c.text;
    }
}

TEST_F(JsonDefaultsStoreTest, RegisteredDefaultsStayInMemory) {
    JsonDefaultsStore store(path());
    store.registerDefaults({{"sound", "Funk"}, {"languages", QStringList{"en-US"}}, {"on", true}});
    EXPECT_EQ(store.objectForKey("sound"), "Funk");
    EXPECT_FALSE(QFile::exists(path())) << "registering writes nothing";

    store.setObject("Glass", "sound");
    EXPECT_EQ(store.objectForKey("sound"), "Glass") << "a stored value wins";
    EXPECT_EQ(store.objectForKey("on"), true);
    EXPECT_EQ(readRaw(), "{\n    \"sound\": \"Glass\"\n}\n");

    store.setObject(QVariant(), "sound");
    EXPECT_EQ(store.objectForKey("sound"), "Funk") << "removing falls back to the default";
    EXPECT_EQ(readRaw(), "{}\n");
}

TEST_F(JsonDefaultsStoreTest, WritesAreAtomicPrivateAndLeaveNoTemporaryFiles) {
    JsonDefaultsStore store(path());
    for (int i = 0; i < 20; ++i) {
        store.setObject(i, QStringLiteral("key%1").arg(i % 3));
    }
    EXPECT_EQ(folderEntries(), QStringList{"defaults.json"});
    EXPECT_EQ(mode(path()) & 0777, 0600u);
    EXPECT_EQ(mode(folder()) & 0777, 0700u);

    // A file with looser permissions is tightened on the next write.
    chmod(path(), 0644);
    store.setObject(1, "key0");
    EXPECT_EQ(mode(path()) & 0777, 0600u);
}

TEST_F(JsonDefaultsStoreTest, UnparseableFilesAreMovedAsideUntouched) {
    struct Case {
        const char* name;
        QByteArray content;
    };
    const Case cases[] = {
        {"binary garbage", QByteArray("\x00\xff\xfe\x13garbage\x00", 12)},
        {"truncated", "{\n    \"pref_soundName\": \"Gla"},
        {"array root", "[\"en-US\"]"},
        {"string root", "\"pref_soundName\""},
        {"trailing data", "{} {}"},
        {"empty", ""},
        {"invalid utf-8 in a string", "{\"k\": \"\xc3\x28\"}"},
        {"hostile nesting", QByteArray("{\"k\":") + QByteArray(100000, '[')},
    };
    for (const Case& c : cases) {
        QDir(folder()).removeRecursively();
        writeRaw(c.content);

        JsonDefaultsStore store(path());
        store.registerDefaults({{"pref_soundName", "Funk"}});
        EXPECT_EQ(store.objectForKey("pref_soundName"), "Funk") << c.name;
        const QStringList aside = asideFiles();
        ASSERT_EQ(aside.size(), 1) << c.name;
        EXPECT_TRUE(
            aside.first().contains(QRegularExpression(R"(^defaults\.json\.corrupt-\d{8}-\d{6}$)")))
            << c.name << ": " << aside.first().toStdString();
        const QString asidePath = folder() + "/" + aside.first();

        const std::optional<QString> notice = store.takeRecoveryNotice();
        ASSERT_TRUE(notice) << c.name;
        EXPECT_EQ(*notice, QStringLiteral("Your settings file could not be read and was moved to "
                                          "%1. Quorvale started with default settings.")
                               .arg(asidePath))
            << c.name;
        EXPECT_FALSE(store.takeRecoveryNotice()) << c.name << ": the notice is given once";

        store.setObject("Glass", "pref_soundName");
        JsonDefaultsStore reopened(path());
        EXPECT_EQ(reopened.objectForKey("pref_soundName"), "Glass") << c.name;
        EXPECT_EQ(readRaw(asidePath), c.content) << c.name << ": kept byte for byte";
    }
}

TEST_F(JsonDefaultsStoreTest, SecondCorruptFileGetsItsOwnName) {
    for (int round = 0; round < 3; ++round) {
        writeRaw(QByteArray("not json ") + QByteArray::number(round));
        JsonDefaultsStore store(path());
        EXPECT_TRUE(store.takeRecoveryNotice());
    }
    QStringList contents;
    for (const QString& name : asideFiles()) {
        contents << QString::fromUtf8(readRaw(folder() + "/" + name));
    }
    contents.sort();
    EXPECT_EQ(contents, (QStringList{"not json 0", "not json 1", "not json 2"}));
}

TEST_F(JsonDefaultsStoreTest, ValidJsonWithUnexpectedValuesIsKept) {
    const QByteArray content =
        R"({"pref_soundName": [1, 2], "nothing": null, "nested": {"a": 1.5}})";
    writeRaw(content);
    JsonDefaultsStore store(path());
    EXPECT_FALSE(store.takeRecoveryNotice());
    EXPECT_TRUE(asideFiles().isEmpty());
    EXPECT_FALSE(store.stringForKey("pref_soundName"));

    store.setObject(true, "flag");
    JsonDefaultsStore reopened(path());
    EXPECT_EQ(reopened.objectForKey("pref_soundName"), (QVariantList{qlonglong(1), qlonglong(2)}));
    EXPECT_EQ(reopened.objectForKey("nothing").typeId(), QMetaType::Nullptr);
    EXPECT_EQ(reopened.objectForKey("nested"), (QVariantMap{{"a", 1.5}}));
    EXPECT_EQ(reopened.objectForKey("flag"), true);
}

TEST_F(JsonDefaultsStoreTest, UnopenableFileIsNeverReplaced) {
    // Things in the file's place that cannot be read as settings, even by root; a rename
    // over the pipe would succeed, so only the store's own guard keeps it.
    struct Case {
        const char* name;
        std::function<void(const QString&)> create;
        mode_t type;
    };
    const Case cases[] = {
        {"folder", [&](const QString& at) { writeRaw("keep me", at + "/inside"); }, S_IFDIR},
        {"named pipe",
         [](const QString& at) {
             QDir().mkpath(QFileInfo(at).absolutePath());
             ASSERT_EQ(::mkfifo(QFile::encodeName(at).constData(), 0600), 0);
         },
         S_IFIFO},
    };
    for (const Case& c : cases) {
        QDir(folder()).removeRecursively();
        c.create(path());
        {
            JsonDefaultsStore store(path());
            store.registerDefaults({{"sound", "Funk"}});
            EXPECT_EQ(store.objectForKey("sound"), "Funk") << c.name;
            const std::optional<QString> notice = store.takeRecoveryNotice();
            ASSERT_TRUE(notice) << c.name;
            EXPECT_TRUE(notice->contains(path())) << notice->toStdString();
            EXPECT_TRUE(notice->contains("default settings")) << c.name;

            store.setObject("Glass", "sound");
            EXPECT_EQ(store.objectForKey("sound"), "Glass") << c.name << ": session keeps it";
        }
        EXPECT_EQ(mode(path()) & S_IFMT, c.type) << c.name;
        EXPECT_TRUE(asideFiles().isEmpty()) << c.name;
    }
}

TEST_F(JsonDefaultsStoreTest, UnreadableFileIsNeverReplaced) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads any file";
    }
    writeRaw("{\"sound\": \"Glass\"}");
    chmod(path(), 0200); // writable, not readable
    JsonDefaultsStore store(path());
    const std::optional<QString> notice = store.takeRecoveryNotice();
    ASSERT_TRUE(notice);
    EXPECT_TRUE(notice->contains("Permission denied")) << notice->toStdString();
    store.setObject("Tink", "sound");
    chmod(path(), 0600);
    EXPECT_EQ(readRaw(), "{\"sound\": \"Glass\"}");
}

TEST_F(JsonDefaultsStoreTest, FailedWritesKeepTheSessionGoing) {
    // A regular file where the folder should be makes every write fail, even for root.
    writeRaw("blocker", dir.filePath("blocked"));
    JsonDefaultsStore store(dir.filePath("blocked/quorvale/defaults.json"));
    store.setObject("Glass", "sound");
    EXPECT_EQ(store.objectForKey("sound"), "Glass");
    EXPECT_FALSE(store.takeRecoveryNotice());

    // A read-only folder keeps the old file whole.
    if (::geteuid() != 0) {
        JsonDefaultsStore writable(path());
        writable.setObject("Funk", "sound");
        const QByteArray before = readRaw();
        chmod(folder(), 0500);
        writable.setObject("Tink", "sound");
        chmod(folder(), 0700);
        EXPECT_EQ(readRaw(), before);
        EXPECT_EQ(folderEntries(), QStringList{"defaults.json"});
    }
}

TEST_F(JsonDefaultsStoreTest, AWriteThatFailsOnItsWayToTheDiskKeepsTheOldFile) {
    writeRaw(R"({"languages": ["de-DE"]})");
    const QByteArray before = readRaw();
    QStringList notices;
    JsonDefaultsStore store(path(), [&](const QString& text) { notices << text; });
    // The file-size limit fails the write that reaches the disk, as a full disk does once
    // the buffered write has succeeded.
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto saveWithoutRoom = [&](const char* sound) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = saved;
        none.rlim_cur = 0;
        ::setrlimit(RLIMIT_FSIZE, &none);
        store.setObject(sound, "sound");
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_DFL);
    };
    saveWithoutRoom("Glass");
    saveWithoutRoom("Tink");
    EXPECT_EQ(readRaw(), before);
    EXPECT_EQ(folderEntries(), QStringList{"defaults.json"});
    EXPECT_EQ(store.objectForKey("sound"), "Tink") << "the session keeps it";
    ASSERT_EQ(notices.size(), 1) << "told once";
    EXPECT_TRUE(notices[0].contains(path()) && notices[0].contains("File too large"))
        << notices[0].toStdString();

    // Once saving works again, a later failure is told again.
    store.setObject("Funk", "sound");
    EXPECT_EQ(JsonDefaultsStore(path()).objectForKey("sound"), "Funk");
    saveWithoutRoom("Pop");
    EXPECT_EQ(notices.size(), 2);
}

TEST_F(JsonDefaultsStoreTest, InstancesSharingTheFileSeeAndKeepEachOthersWrites) {
    JsonDefaultsStore first(path());
    JsonDefaultsStore second(path());
    first.registerDefaults({{"sound", "Funk"}});
    second.registerDefaults({{"sound", "Funk"}});

    first.setObject("Glass", "sound");
    EXPECT_EQ(second.objectForKey("sound"), "Glass");

    second.setObject(QStringList{"de-DE"}, "languages");
    first.setObject(false, "prompts");
    JsonDefaultsStore third(path());
    EXPECT_EQ(third.objectForKey("sound"), "Glass");
    EXPECT_EQ(third.objectForKey("languages"), QStringList{"de-DE"});
    EXPECT_EQ(third.objectForKey("prompts"), false);

    QFile::remove(path());
    EXPECT_EQ(first.objectForKey("sound"), "Funk") << "a removed file reads as nothing stored";
}

TEST_F(JsonDefaultsStoreTest, ConcurrentWritersAndReadersLoseNothing) {
    JsonDefaultsStore store(path());
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 25; ++i) {
                store.setObject(i, QStringLiteral("writer%1").arg(t));
                store.objectForKey(QStringLiteral("writer%1").arg((t + 1) % 4));
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    JsonDefaultsStore reopened(path());
    for (int t = 0; t < 4; ++t) {
        EXPECT_EQ(reopened.objectForKey(QStringLiteral("writer%1").arg(t)), qlonglong(24));
    }
    EXPECT_EQ(folderEntries(), QStringList{"defaults.json"});
}

TEST_F(JsonDefaultsStoreTest, ProcessesWritingAtOnceLoseNoKeys) {
    constexpr int kProcesses = 3;
    constexpr int kKeysEach = 40;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            JsonDefaultsStore store(path());
            for (int k = 0; k < kKeysEach; ++k) {
                store.setObject(k, QStringLiteral("p%1_%2").arg(p).arg(k));
            }
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    JsonDefaultsStore reopened(path());
    int found = 0;
    for (int p = 0; p < kProcesses; ++p) {
        for (int k = 0; k < kKeysEach; ++k) {
            found += reopened.objectForKey(QStringLiteral("p%1_%2").arg(p).arg(k)).isValid();
        }
    }
    EXPECT_EQ(found, kProcesses * kKeysEach);
}

TEST_F(JsonDefaultsStoreTest, DefaultPathFollowsXdgConfigHome) {
    {
        const quorvale::test::ScopedEnv config("XDG_CONFIG_HOME", dir.path().toUtf8());
        EXPECT_EQ(JsonDefaultsStore::defaultPath(), dir.path() + "/quorvale/defaults.json");
    }
    const quorvale::test::ScopedEnv unset("XDG_CONFIG_HOME", {});
    EXPECT_EQ(JsonDefaultsStore::defaultPath(),
              QDir::homePath() + "/.config/quorvale/defaults.json");
}

} // namespace
