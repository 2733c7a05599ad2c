#include "preferences/PreferenceManager.h"

#include <QCoreApplication>
#include <QThread>
#include <iostream>
#include <mutex>

namespace quorvale {
namespace {

using Policy = platform::ActivationPolicyService::Policy;

const QString kSoundNameFallback = QStringLiteral("Tink");
const QString kStatusBarIconNameFallback = QStringLiteral("text.viewfinder");
const QStringList kRecognitionLanguagesFallback{QStringLiteral("en-US")};

struct SharedInstance {
    std::mutex mutex;
    std::shared_ptr<PreferenceManager> manager;
};

SharedInstance& sharedInstance() {
    static SharedInstance instance;
    return instance;
}

} // namespace

PreferenceManager& PreferenceManager::shared() {
    SharedInstance& instance = sharedInstance();
    std::lock_guard lock(instance.mutex);
    if (!instance.manager) {
        instance.manager = std::make_shared<PreferenceManager>(platform::current());
        // Whichever thread gets here first, the object belongs to the GUI thread.
        if (QCoreApplication* app = QCoreApplication::instance()) {
            instance.manager->moveToThread(app->thread());
        }
    }
    return *instance.manager;
}

void PreferenceManager::setSharedForTesting(std::shared_ptr<PreferenceManager> manager) {
    SharedInstance& instance = sharedInstance();
    std::shared_ptr<PreferenceManager> previous;
    {
        std::lock_guard lock(instance.mutex);
        previous = std::exchange(instance.manager, std::move(manager));
    }
    // `previous` flushes its writes as it goes, outside the lock.
}

PreferenceManager::PreferenceManager(const platform::Platform& platform)
    : m_defaults(platform.defaults)
    , m_loginItem(platform.loginItem)
    , m_activationPolicy(platform.activationPolicy)
    , m_mainQueue(platform.mainQueue) {
    Q_ASSERT_X(m_defaults && m_loginItem && m_activationPolicy && m_mainQueue, "PreferenceManager",
               "platform not installed");
    registerDefaultValues();
    applyDockIconVisibility(showDockIcon());
}

PreferenceManager::~PreferenceManager() {
    waitForPendingWrites();
}

void PreferenceManager::registerDefaultValues() {
    m_defaults->registerDefaults({
        {kEnableSoundKey, true},
        {kShowPromptsKey, true},
        {kSoundNameKey, QStringLiteral("Funk")},
        {kStatusBarIconNameKey, QStringLiteral("text.viewfinder")},
        {kShowDockIconKey, true},
        {kRecognitionLanguagesKey, QStringList{QStringLiteral("en-US")}},
        {kHasCheckedScreenRecordingPermissionKey, false},
    });
}

bool PreferenceManager::showDockIcon() const {
    return m_defaults->boolForKey(kShowDockIconKey);
}

void PreferenceManager::setShowDockIcon(bool show) {
    save(show, kShowDockIconKey);
    applyDockIconVisibility(show);
}

bool PreferenceManager::enableSound() const {
    return m_defaults->boolForKey(kEnableSoundKey);
}

void PreferenceManager::setEnableSound(bool enable) {
    save(enable, kEnableSoundKey);
}

QString PreferenceManager::soundName() const {
    return m_defaults->stringForKey(kSoundNameKey).value_or(kSoundNameFallback);
}

void PreferenceManager::setSoundName(const QString& name) {
    save(name, kSoundNameKey);
}

bool PreferenceManager::showPrompts() const {
    return m_defaults->boolForKey(kShowPromptsKey);
}

void PreferenceManager::setShowPrompts(bool show) {
    save(show, kShowPromptsKey);
}

QString PreferenceManager::statusBarIconName() const {
    return m_defaults->stringForKey(kStatusBarIconNameKey).value_or(kStatusBarIconNameFallback);
}

void PreferenceManager::setStatusBarIconName(const QString& name) {
    save(name, kStatusBarIconNameKey);
}

QStringList PreferenceManager::recognitionLanguages() const {
    return m_defaults->stringListForKey(kRecognitionLanguagesKey)
        .value_or(kRecognitionLanguagesFallback);
}

void PreferenceManager::setRecognitionLanguages(const QStringList& codes) {
    save(codes, kRecognitionLanguagesKey);
}

bool PreferenceManager::launchAtLogin() const {
    return m_loginItem->status() == platform::LoginItemService::enabled;
}

void PreferenceManager::setLaunchAtLogin(bool enable) {
    emit willChange();
    const auto status = m_loginItem->status();
    std::optional<QString> failure;
    if (enable) {
        if (status != platform::LoginItemService::enabled) {
            failure = m_loginItem->registerItem();
        }
    } else if (status != platform::LoginItemService::notRegistered) {
        failure = m_loginItem->unregisterItem();
    }
    if (failure) {
        std::cout << "Failed to update launch at login: " << failure->toStdString() << std::endl;
    }
}

void PreferenceManager::afterPendingWrites(std::function<void()> block) {
    m_ioQueue.async(
        [mainQueue = m_mainQueue, block = std::move(block)] { mainQueue->async(block); });
}

void PreferenceManager::save(const QVariant& value, const QString& key) {
    emit willChange();
    m_ioQueue.async([defaults = m_defaults, value, key] { defaults->setObject(value, key); });
}

void PreferenceManager::applyDockIconVisibility(bool show) {
    m_mainQueue->async([service = m_activationPolicy, show] {
        const Policy wanted = show ? Policy::regular : Policy::accessory;
        if (service->activationPolicy() == wanted) {
            return;
        }
        service->setActivationPolicy(wanted);
        service->unhide();
        service->activateIgnoringOtherApps();
        service->orderFrontVisibleWindowsRegardless();
    });
}

void PreferenceManager::waitForPendingWrites() {
    m_ioQueue.waitUntilIdle();
}

} // namespace quorvale
