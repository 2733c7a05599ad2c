#include "preferences/PreferenceManager.h"
#include "platform/fake/FakePlatform.h"

#include <QThread>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <vector>

using namespace quorvale;
using platform::ActivationPolicyService;
using platform::LoginItemService;

namespace {

// Records every write with the thread it ran on.
struct RecordingDefaultsStore : platform::FakeDefaultsStore {
    void setObject(const QVariant& value, const QString& key) override {
        FakeDefaultsStore::setObject(value, key);
        std::lock_guard lock(mutex);
        writes.emplace_back(value, std::this_thread::get_id());
    }
    std::mutex mutex;
    std::vector<std::pair<QVariant, std::thread::id>> writes;
};

using Reader = std::function<QVariant(const PreferenceManager&)>;
const Reader sound = [](auto& m) { return QVariant(m.soundName()); };
const Reader icon = [](auto& m) { return QVariant(m.statusBarIconName()); };
const Reader languages = [](auto& m) { return QVariant(m.recognitionLanguages()); };
const Reader dock = [](auto& m) { return QVariant(m.showDockIcon()); };
const Reader prompts = [](auto& m) { return QVariant(m.showPrompts()); };
const Reader soundOn = [](auto& m) { return QVariant(m.enableSound()); };

class PreferenceManagerTest : public ::testing::Test {
protected:
    std::unique_ptr<PreferenceManager> makeManager() {
        auto manager = std::make_unique<PreferenceManager>(platform::current());
        fakes.mainQueue->runPending();
        fakes.activationPolicy->calls.clear();
        return manager;
    }

    platform::FakePlatform fakes;
};

// The default values themselves are read back in the announcement table below.
TEST_F(PreferenceManagerTest, FreshInstallationWritesNothingAndReadsTheLoginItemState) {
    fakes.loginItem->currentStatus = LoginItemService::enabled;
    auto manager = makeManager();
    EXPECT_TRUE(manager->launchAtLogin());
    EXPECT_TRUE(fakes.defaults->stored().isEmpty()) << "registration must not write";
}

TEST_F(PreferenceManagerTest, StoredValuesOfTheWrongKindReadAsTheFallback) {
    struct Case {
        const char* name;
        QString key;
        QVariant stored;
        Reader read;
        QVariant expected;
    };
    const Case cases[] = {
        {"list under sound", PreferenceManager::kSoundNameKey, QStringList{"Glass"}, sound, "Tink"},
        {"number under sound", PreferenceManager::kSoundNameKey, 42, sound, "42"},
        {"bool under icon", PreferenceManager::kStatusBarIconNameKey, true, icon,
         "text.viewfinder"},
        {"string under languages", PreferenceManager::kRecognitionLanguagesKey, "de-DE", languages,
         QStringList{"en-US"}},
        {"numbers under languages", PreferenceManager::kRecognitionLanguagesKey, QVariantList{1, 2},
         languages, QStringList{"en-US"}},
        {"empty list stays empty", PreferenceManager::kRecognitionLanguagesKey, QStringList{},
         languages, QStringList{}},
        {"variant list of strings", PreferenceManager::kRecognitionLanguagesKey,
         QVariantList{"fr-FR", "de-DE"}, languages, QStringList{"fr-FR", "de-DE"}},
        {"list under dock icon", PreferenceManager::kShowDockIconKey, QStringList{"x"}, dock,
         false},
        {"zero under prompts", PreferenceManager::kShowPromptsKey, 0, prompts, false},
    };
    auto manager = makeManager();
    for (const Case& c : cases) {
        fakes.defaults->setObject(c.stored, c.key);
        EXPECT_EQ(c.read(*manager), c.expected) << c.name;
    }
}

TEST_F(PreferenceManagerTest, SettersAnnounceBeforeTheWriteLands) {
    struct Case {
        const char* name;
        std::function<void(PreferenceManager&)> set;
        Reader read;
        QVariant before;
        QVariant after;
    };
    const Case cases[] = {
        {"sound", [](auto& m) { m.setEnableSound(false); }, soundOn, true, false},
        {"prompts", [](auto& m) { m.setShowPrompts(false); }, prompts, true, false},
        {"sound name", [](auto& m) { m.setSoundName("Glass"); }, sound, "Funk", "Glass"},
        {"icon", [](auto& m) { m.setStatusBarIconName("doc.text"); }, icon, "text.viewfinder",
         "doc.text"},
        {"languages", [](auto& m) { m.setRecognitionLanguages({}); }, languages,
         QStringList{"en-US"}, QStringList{}},
        {"dock icon", [](auto& m) { m.setShowDockIcon(false); }, dock, true, false},
    };
    for (const Case& c : cases) {
        platform::FakePlatform freshFakes;
        PreferenceManager manager(platform::current());
        std::vector<QVariant> seen;
        QObject::connect(&manager, &PreferenceManager::willChange,
                         [&] { seen.push_back(c.read(manager)); });

        c.set(manager);
        EXPECT_EQ(seen, std::vector<QVariant>{c.before}) << c.name;
        manager.waitForPendingWrites();
        EXPECT_EQ(c.read(manager), c.after) << c.name;
    }
}

TEST_F(PreferenceManagerTest, WritesRunOffTheCallerInCallOrder) {
    auto store = std::make_shared<RecordingDefaultsStore>();
    platform::Platform withRecorder = platform::current();
    withRecorder.defaults = store;
    PreferenceManager manager(withRecorder);

    int announcements = 0;
    QObject::connect(&manager, &PreferenceManager::willChange, [&] { ++announcements; });
    for (int i = 0; i < 300; ++i) {
        manager.save(i, i % 2 ? "odd" : "even");
    }
    manager.save(true, PreferenceManager::kHasCheckedScreenRecordingPermissionKey);
    manager.waitForPendingWrites();

    EXPECT_EQ(announcements, 301);
    ASSERT_EQ(store->writes.size(), 301u);
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(store->writes[i].first.toInt(), i);
        EXPECT_NE(store->writes[i].second, std::this_thread::get_id());
    }
    EXPECT_EQ(store->objectForKey("even").toInt(), 298);
    EXPECT_EQ(store->objectForKey("odd").toInt(), 299);
    EXPECT_TRUE(
        manager.defaults().boolForKey(PreferenceManager::kHasCheckedScreenRecordingPermissionKey));
}

TEST_F(PreferenceManagerTest, DestructionFlushesQueuedWrites) {
    {
        PreferenceManager manager(platform::current());
        for (int i = 0; i < 50; ++i) {
            manager.setSoundName(QString::number(i));
        }
    }
    EXPECT_EQ(fakes.defaults->stored().value(PreferenceManager::kSoundNameKey), "49");
}

TEST_F(PreferenceManagerTest, CreationAppliesTheStoredDockIconPolicyOnTheMainQueue) {
    struct Case {
        const char* name;
        std::optional<bool> stored;
        ActivationPolicyService::Policy current;
        QStringList expectedCalls;
    };
    const QStringList toRegular{"setRegular", "unhide", "activate", "orderFront"};
    const QStringList toAccessory{"setAccessory", "unhide", "activate", "orderFront"};
    const Case cases[] = {
        {"fresh install, accessory", std::nullopt, ActivationPolicyService::Policy::accessory,
         toRegular},
        {"fresh install, already regular",
         std::nullopt,
         ActivationPolicyService::Policy::regular,
         {}},
        {"hidden, regular", false, ActivationPolicyService::Policy::regular, toAccessory},
        {"hidden, already accessory", false, ActivationPolicyService::Policy::accessory, {}},
    };
    for (const Case& c : cases) {
        platform::FakePlatform freshFakes;
        if (c.stored) {
            freshFakes.defaults->setObject(*c.stored, PreferenceManager::kShowDockIconKey);
        }
        freshFakes.activationPolicy->policy = c.current;
        PreferenceManager manager(platform::current());
        EXPECT_TRUE(freshFakes.activationPolicy->calls.isEmpty()) << c.name;
        EXPECT_EQ(freshFakes.mainQueue->runPending(), 1) << c.name;
        EXPECT_EQ(freshFakes.activationPolicy->calls, c.expectedCalls) << c.name;
    }
}

TEST_F(PreferenceManagerTest, DockIconSetterSwitchesPolicyOnlyWhenItChanges) {
    fakes.activationPolicy->policy = ActivationPolicyService::Policy::regular;
    auto manager = makeManager();

    manager->setShowDockIcon(true);
    fakes.mainQueue->runPending();
    EXPECT_TRUE(fakes.activationPolicy->calls.isEmpty());

    manager->setShowDockIcon(false);
    EXPECT_TRUE(fakes.activationPolicy->calls.isEmpty()) << "must wait for the main queue";
    fakes.mainQueue->runPending();
    EXPECT_EQ(fakes.activationPolicy->calls,
              (QStringList{"setAccessory", "unhide", "activate", "orderFront"}));

    // Set from a worker thread: the switch still runs only on the main queue.
    fakes.activationPolicy->calls.clear();
    std::thread([&] { manager->setShowDockIcon(true); }).join();
    EXPECT_TRUE(fakes.activationPolicy->calls.isEmpty());
    fakes.mainQueue->runPending();
    EXPECT_EQ(fakes.activationPolicy->calls.first(), "setRegular");
    manager->waitForPendingWrites();
    EXPECT_TRUE(manager->showDockIcon());
}

TEST_F(PreferenceManagerTest, LaunchAtLoginCallsTheServiceOnlyWhenStatusDiffers) {
    struct Case {
        LoginItemService::Status status;
        bool enable;
        QStringList expectedCalls;
    };
    const Case cases[] = {
        {LoginItemService::enabled, true, {}},
        {LoginItemService::notRegistered, true, {"register"}},
        {LoginItemService::notRegistered, false, {}},
        {LoginItemService::enabled, false, {"unregister"}},
    };
    auto manager = makeManager();
    for (const Case& c : cases) {
        fakes.loginItem->currentStatus = c.status;
        fakes.loginItem->calls.clear();
        int announcements = 0;
        auto connection = QObject::connect(manager.get(), &PreferenceManager::willChange,
                                           [&] { ++announcements; });
        manager->setLaunchAtLogin(c.enable);
        QObject::disconnect(connection);

        const auto label = ::testing::Message() << "status " << c.status << " enable " << c.enable;
        EXPECT_EQ(fakes.loginItem->calls, c.expectedCalls) << label;
        EXPECT_EQ(announcements, 1) << label;
        if (!c.expectedCalls.isEmpty()) {
            EXPECT_EQ(manager->launchAtLogin(), c.enable) << label;
        }
    }
    EXPECT_EQ(fakes.defaults->writeCount, 0) << "the login item is not a defaults value";
}

TEST_F(PreferenceManagerTest, FailedLoginItemChangePrintsOneLineAndKeepsStatus) {
    auto manager = makeManager();
    fakes.loginItem->failure = QStringLiteral("The folder is read-only.");

    ::testing::internal::CaptureStdout();
    manager->setLaunchAtLogin(true);
    const std::string output = ::testing::internal::GetCapturedStdout();

    EXPECT_EQ(output, "Failed to update launch at login: The folder is read-only.\n");
    EXPECT_FALSE(manager->launchAtLogin());
}

TEST_F(PreferenceManagerTest, SharedIsCreatedOnceUnderConcurrentFirstAccess) {
    PreferenceManager::setSharedForTesting(nullptr);
    std::vector<std::thread> threads;
    std::vector<PreferenceManager*> seen(8);
    std::atomic<bool> go{false};
    for (std::size_t i = 0; i < seen.size(); ++i) {
        threads.emplace_back([&, i] {
            while (!go) {
                std::this_thread::yield();
            }
            seen[i] = &PreferenceManager::shared();
        });
    }
    go = true;
    for (auto& thread : threads) {
        thread.join();
    }

    EXPECT_EQ(std::set<PreferenceManager*>(seen.begin(), seen.end()).size(), 1u);
    EXPECT_EQ(fakes.mainQueue->pendingCount(), 1u) << "one creation, one policy switch";
    EXPECT_EQ(seen[0]->thread(), QThread::currentThread()) << "belongs to the GUI thread";

    auto replacement = std::make_shared<PreferenceManager>(platform::current());
    PreferenceManager::setSharedForTesting(replacement);
    EXPECT_EQ(&PreferenceManager::shared(), replacement.get());
    PreferenceManager::setSharedForTesting(nullptr);
}

} // namespace
