#pragma once

#include "common/SerialQueue.h"
#include "platform/Platform.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

namespace quorvale {

// The user's settings: a typed layer over the defaults store plus the login item.
// Reads go to the store every time; writes announce the change, then queue the store
// write on one serial worker, in call order.
class PreferenceManager : public QObject {
    Q_OBJECT
public:
    static inline const QString kShowDockIconKey = QStringLiteral("pref_showDockIcon");
    static inline const QString kEnableSoundKey = QStringLiteral("pref_enableSound");
    static inline const QString kSoundNameKey = QStringLiteral("pref_soundName");
    static inline const QString kShowPromptsKey = QStringLiteral("pref_showPrompts");
    static inline const QString kStatusBarIconNameKey = QStringLiteral("pref_statusBarIconName");
    static inline const QString kRecognitionLanguagesKey =
        QStringLiteral("pref_recognitionLanguages");
    static inline const QString kHasCheckedScreenRecordingPermissionKey =
        QStringLiteral("HasCheckedScreenRecordingPermission_v3");

    // The process-wide instance over the installed platform, created on first use.
    static PreferenceManager& shared();
    // Tests replace the shared instance (nullptr: build a fresh one on next use).
    static void setSharedForTesting(std::shared_ptr<PreferenceManager> manager);

    explicit PreferenceManager(const platform::Platform& platform);
    ~PreferenceManager() override;

    platform::DefaultsStore& defaults() const { return *m_defaults; }

    bool showDockIcon() const;
    void setShowDockIcon(bool show);
    bool enableSound() const;
    void setEnableSound(bool enable);
    QString soundName() const;
    void setSoundName(const QString& name);
    bool showPrompts() const;
    void setShowPrompts(bool show);
    QString statusBarIconName() const;
    void setStatusBarIconName(const QString& name);
    QStringList recognitionLanguages() const;
    void setRecognitionLanguages(const QStringList& codes);
    bool launchAtLogin() const;
    void setLaunchAtLogin(bool enable);

    // Announces, then queues the write.
    void save(const QVariant& value, const QString& key);
    // Switches taskbar presence on the GUI thread.
    void applyDockIconVisibility(bool show);
    // Blocks until every queued write has reached the store (quit, tests).
    void waitForPendingWrites();
    // Runs the block on the GUI thread once the writes queued so far have reached the store,
    // so that what it reads is what was last saved.
    void afterPendingWrites(std::function<void()> block);

signals:
    // Sent before every change, on the thread that makes it.
    void willChange();

private:
    void registerDefaultValues();

    std::shared_ptr<platform::DefaultsStore> m_defaults;
    std::shared_ptr<platform::LoginItemService> m_loginItem;
    std::shared_ptr<platform::ActivationPolicyService> m_activationPolicy;
    std::shared_ptr<platform::MainQueue> m_mainQueue;
    SerialQueue m_ioQueue{"com.vantrelo.preferences.io"};
};

} // namespace quorvale
