#pragma once

#include "app/CaptureService.h"
#include "app/MainMenu.h"
#include "app/StatusBarController.h"
#include "preferences/PreferencesWindowController.h"
#include "shortcuts/RegistrationFailureReport.h"

#include <QImage>
#include <QObject>
#include <functional>
#include <memory>

namespace quorvale {

// Owns the long-lived pieces of the app and runs the capture-and-copy flow to the clipboard.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    using CaptureResult = CaptureService::CaptureResult;
    // Told once a result has reached the user (clipboard, sound, toast); used by the CLI.
    using DeliveryObserver = std::function<void(const CaptureResult&)>;

    static inline const QString kSuccessIcon = QStringLiteral("document.on.document");
    static inline const QString kFailureIcon = QStringLiteral("xmark.app");
    static constexpr double kToastDuration = 2.0;

    explicit AppDelegate(std::shared_ptr<CaptureService> captureService = nullptr);
    ~AppDelegate() override;

    StatusBarController* statusBarController() const { return m_statusBarController.get(); }
    CaptureService& captureService() const { return *m_captureService; }
    PreferencesWindowController* preferencesWindowController() const {
        return m_preferencesWindowController.get();
    }
    MainMenu* mainMenu() const { return m_mainMenu; }

    void applicationDidFinishLaunching();
    // Answers whether the platform should do its default reopen handling.
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    void presentPreferences();
    bool ensureScreenRecordingPermission();
    void openScreenRecordingSettings();

    void startCapture(bool windowMode, DeliveryObserver observer = {});
    void recognizeImageFile(const QString& path, DeliveryObserver observer = {});
    void recognizeBitmap(const QImage& image, DeliveryObserver observer = {});
    void handleCaptureResult(const CaptureResult& result);
    void showCaptureFailure(const CaptureError& error);

private:
    void setUpApplication();
    void setUpMainMenu();
    void installShortcutFailureReport();
    void registerShortcutActions();
    void showScreenRecordingAlert();
    void recognizeLoadedImage(const QImage& image, DeliveryObserver observer);
    void deliverOnMainThread(CaptureResult result, DeliveryObserver observer);

    std::unique_ptr<StatusBarController> m_statusBarController;
    std::shared_ptr<CaptureService> m_captureService;
    std::unique_ptr<PreferencesWindowController, void (*)(PreferencesWindowController*)>
        m_preferencesWindowController;
    MainMenu* m_mainMenu = nullptr;
    bool m_didSetUp = false;
    bool m_toldWindowPickingUnavailable = false;
    std::shared_ptr<GlobalShortcuts::RegistrationFailureReport> m_shortcutFailures;
};

} // namespace quorvale
