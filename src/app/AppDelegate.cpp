#include "app/AppDelegate.h"

#include "app/ImageLoader.h"
#include "app/UserNotice.h"
#include "platform/Platform.h"
#include "preferences/AboutSettingsView.h"
#include "preferences/GeneralSettingsView.h"
#include "preferences/PreferenceManager.h"
#include "shared/AppUpdater.h"
#include "shared/Log.h"
#include "shared/ToastWindowController.h"
#include "shortcuts/CarbonGlobalShortcuts.h"
#include "shortcuts/DesktopBoundShortcuts.h"
#include "shortcuts/GlobalShortcuts.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

namespace quorvale {
namespace {

void deleteLaterController(PreferencesWindowController* controller) {
    // The window may still be inside its own close handling.
    if (controller) {
        controller->deleteLater();
    }
}

std::shared_ptr<CaptureService> makeDefaultCaptureService() {
    return std::make_shared<CaptureService>(std::make_shared<ScreenshotService>(),
                                            std::make_shared<OCRService>());
}

bool isDeclinedCapture(const CaptureError& error) {
    const auto& screenshot = error.screenshotError();
    return error.kind() == CaptureError::Kind::screenshotFailed && screenshot &&
           screenshot->kind() == ScreenshotError::Kind::screenCaptureKitError &&
           screenshot->backendError().declined;
}

} // namespace

AppDelegate::AppDelegate(std::shared_ptr<CaptureService> captureService)
    : m_captureService(captureService ? std::move(captureService) : makeDefaultCaptureService())
    , m_preferencesWindowController(nullptr, &deleteLaterController) {}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching() {
    if (!m_didSetUp) {
        m_didSetUp = true;
        setUpApplication();
    }
}

void AppDelegate::setUpApplication() {
    AppUpdater::shared();
    AboutSettingsView::setConfiguration({[] { AppUpdater::shared().checkForUpdates(); }, {}, {}});
    setUpMainMenu();
    // Reading the shortcuts for the menu registers their hot keys: failures must be heard.
    installShortcutFailureReport();

    QPointer<AppDelegate> weakSelf(this);
    StatusBarController::Callbacks callbacks;
    callbacks.onCapture = [weakSelf](bool windowMode) {
        if (weakSelf) {
            weakSelf->startCapture(windowMode);
        }
    };
    callbacks.onOpenPreferences = [weakSelf] {
        if (weakSelf) {
            weakSelf->presentPreferences();
        }
    };
    callbacks.onOpenSettings = [] {
        if (auto url = platform::current().screenCapturePermission->settingsUrl();
            url && url->isValid()) {
            platform::current().urlOpener->openUrl(*url);
        }
    };
    callbacks.onQuit = [] { QCoreApplication::quit(); };
    callbacks.onRecognizeImage = [weakSelf](const QString& path) {
        if (weakSelf) {
            weakSelf->recognizeImageFile(path);
        }
    };
    callbacks.onRecognizeBitmap = [weakSelf](const QImage& image) {
        if (weakSelf) {
            weakSelf->recognizeBitmap(image);
        }
    };
    m_statusBarController = std::make_unique<StatusBarController>(std::move(callbacks));
    GeneralSettingsView::setTrayIconShown([weakSelf] {
        return weakSelf && weakSelf->m_statusBarController &&
               weakSelf->m_statusBarController->isIconShown();
    });

    registerShortcutActions();

    if (PreferenceManager::shared().showDockIcon()) {
        presentPreferences();
    }
    // The first capture should not wait for the engine to load.
    m_captureService->ocrService().warmUp();
}

void AppDelegate::installShortcutFailureReport() {
    using GlobalShortcuts::Name;
    m_shortcutFailures = std::make_shared<GlobalShortcuts::RegistrationFailureReport>(
        std::vector<GlobalShortcuts::RegistrationFailureReport::Slot>{
            {Name(QStringLiteral("captureAndCopy")),
             QCoreApplication::translate("AppDelegate", "Capture Text")},
            {Name(QStringLiteral("captureAndCopyWindowMode")),
             QCoreApplication::translate("AppDelegate", "Capture Text in Window Mode")},
            {Name(QStringLiteral("captureFromFile")),
             QCoreApplication::translate("AppDelegate", "Capture Text from File...")},
            {Name(QStringLiteral("captureFromPhotos")),
             QCoreApplication::translate("AppDelegate", "Capture Text from Photos...")}},
        showUserNotice);
    GlobalShortcuts::CarbonGlobalShortcuts::setFailureObserver(
        [weakReport = std::weak_ptr(m_shortcutFailures)](const GlobalShortcuts::Shortcut& shortcut,
                                                         int status, const QString& reason) {
            if (const auto report = weakReport.lock()) {
                report->failed(shortcut, status, reason);
            }
        });
}

void AppDelegate::registerShortcutActions() {
    using GlobalShortcuts::Name;
    QPointer<AppDelegate> weakSelf(this);
    GlobalShortcuts::onKeyUp(Name::captureAndCopy(), [weakSelf] {
        if (weakSelf) {
            weakSelf->startCapture(false);
        }
    });
    GlobalShortcuts::onKeyUp(Name::captureAndCopyWindowMode(), [weakSelf] {
        if (weakSelf) {
            weakSelf->startCapture(true);
        }
    });
    GlobalShortcuts::onKeyUp(Name::captureFromFile(), [weakSelf] {
        if (weakSelf && weakSelf->m_statusBarController) {
            weakSelf->m_statusBarController->showImageFilePanel();
        }
    });
    GlobalShortcuts::onKeyUp(Name::captureFromPhotos(), [weakSelf] {
        if (weakSelf && weakSelf->m_statusBarController) {
            weakSelf->m_statusBarController->showPhotosPicker();
        }
    });
    // A desktop that binds shortcuts itself gets the same four; their presses come to the
    // actions above. Binding none leaves the user with the commands to bind by hand.
    GlobalShortcuts::DesktopBound::request(
        {{Name::captureAndCopy(), QCoreApplication::translate("AppDelegate", "Capture Text")},
         {Name::captureAndCopyWindowMode(),
          QCoreApplication::translate("AppDelegate", "Capture Text in Window Mode")},
         {Name::captureFromFile(),
          QCoreApplication::translate("AppDelegate", "Capture Text from File")},
         {Name::captureFromPhotos(),
          QCoreApplication::translate("AppDelegate", "Capture Text from Photos")}},
        showShortcutsUnavailableNotice);
}

void AppDelegate::setUpMainMenu() {
    m_mainMenu = new MainMenu(this);
}

bool AppDelegate::applicationShouldHandleReopen(bool) {
    // Without a tray icon, launching again is the only way left to reach the settings.
    const bool iconShown = m_statusBarController && m_statusBarController->isIconShown();
    if (PreferenceManager::shared().showDockIcon() || !iconShown) {
        presentPreferences();
        return false;
    }
    return true;
}

void AppDelegate::presentPreferences() {
    if (!m_preferencesWindowController) {
        m_preferencesWindowController.reset(new PreferencesWindowController());
        if (m_mainMenu) {
            m_mainMenu->attachTo(m_preferencesWindowController->window());
        }
        QPointer<AppDelegate> weakSelf(this);
        m_preferencesWindowController->onClose = [weakSelf] {
            if (weakSelf) {
                weakSelf->m_preferencesWindowController.reset();
            }
        };
    }
    m_preferencesWindowController->showPreferences();
}

bool AppDelegate::ensureScreenRecordingPermission() {
    auto& preferences = PreferenceManager::shared();
    const bool alreadyChecked = preferences.defaults().boolForKey(
        PreferenceManager::kHasCheckedScreenRecordingPermissionKey);
    const auto& platform = platform::current();
    if (platform.screenCapturePermission->requestAccess()) {
        return true;
    }
    if (alreadyChecked) {
        QPointer<AppDelegate> weakSelf(this);
        platform.mainQueue->async([weakSelf] {
            if (weakSelf && !platform::current().screenCapturePermission->preflightAccess()) {
                weakSelf->showScreenRecordingAlert();
            }
        });
        return false;
    }
    preferences.save(true, PreferenceManager::kHasCheckedScreenRecordingPermissionKey);
    return false;
}

void AppDelegate::showScreenRecordingAlert() {
    const auto& alerts = platform::current().alerts;
    if (alerts->hasModalWindow()) {
        return;
    }
    platform::AlertRequest alert;
    alert.style = platform::AlertRequest::Style::warning;
    alert.messageText =
        QCoreApplication::translate("AppDelegate", "Screen Recording Permission Required");
    alert.informativeText = QCoreApplication::translate(
        "AppDelegate", "Please grant screen recording permission in your desktop settings to allow "
                       "Quorvale to capture text from your screen.");
    alert.buttons = {QStringLiteral("Open Settings"), QStringLiteral("Cancel")};
    if (const auto texts = platform::current().screenCapturePermission->deniedTexts()) {
        alert.messageText = texts->messageText;
        alert.informativeText = texts->informativeText;
        // Where there is nothing to open or undo, the text says what to do instead.
        alert.buttons = texts->forgetButton.isEmpty()
                            ? QStringList{QStringLiteral("OK")}
                            : QStringList{texts->forgetButton, QStringLiteral("Cancel")};
    }
    if (alerts->runModal(alert) == platform::ModalAlerts::kFirstButtonResponse) {
        openScreenRecordingSettings();
    }
}

void AppDelegate::openScreenRecordingSettings() {
    const auto& platform = platform::current();
    QPointer<AppDelegate> weakSelf(this);
    const bool forgetting =
        platform.screenCapturePermission->forgetRefusal([weakSelf](std::optional<QString> failure) {
            if (!failure || !weakSelf) {
                return;
            }
            // Out of the bus's answer before a nested event loop starts.
            platform::current().mainQueue->async([weakSelf, text = *failure] {
                const auto& alerts = platform::current().alerts;
                if (!weakSelf || alerts->hasModalWindow()) {
                    return;
                }
                platform::AlertRequest alert;
                alert.style = platform::AlertRequest::Style::warning;
                alert.messageText = QCoreApplication::translate(
                    "AppDelegate", "Screen Recording Permission Required");
                alert.informativeText = text;
                alert.buttons = {QStringLiteral("OK")};
                alerts->runModal(alert);
            });
        });
    if (forgetting) {
        return;
    }
    if (auto url = platform.screenCapturePermission->settingsUrl(); url && url->isValid()) {
        platform.urlOpener->openUrl(*url);
    }
}

void AppDelegate::startCapture(bool windowMode, DeliveryObserver observer) {
    if (!ensureScreenRecordingPermission()) {
        return;
    }
    if (windowMode && platform::current().screenCapture->windowPicking() ==
                          platform::ScreenCapture::WindowPicking::unsupported) {
        if (!m_toldWindowPickingUnavailable) {
            m_toldWindowPickingUnavailable = true;
            showUserNotice(QCoreApplication::translate(
                "AppDelegate", "This desktop lets no program list or pick other programs' "
                               "windows, and offers no window picker of its own. Window mode "
                               "captures an area instead: drag over the window's text."));
        }
        windowMode = false;
    }
    if (m_preferencesWindowController) {
        m_preferencesWindowController->close();
    }
    QPointer<AppDelegate> weakSelf(this);
    m_captureService->captureAndRecognize(
        windowMode, [weakSelf, observer = std::move(observer)](CaptureResult result) {
            if (!weakSelf) {
                return;
            }
            weakSelf->deliverOnMainThread(std::move(result), observer);
        });
}

void AppDelegate::recognizeImageFile(const QString& path, DeliveryObserver observer) {
    QPointer<AppDelegate> weakSelf(this);
    // Decoding a large file takes long enough to stall the GUI thread.
    QThreadPool::globalInstance()->start([weakSelf, path, observer = std::move(observer)] {
        ImageLoader::LoadResult loaded = ImageLoader::load(path);
        platform::current().mainQueue->async([weakSelf, loaded, observer] {
            if (!weakSelf) {
                return;
            }
            if (!loaded.isSuccess()) {
                const CaptureResult failure = CaptureResult::failure(
                    CaptureError::imageLoadFailed(loaded.error().description));
                weakSelf->handleCaptureResult(failure);
                if (observer) {
                    observer(failure);
                }
                return;
            }
            weakSelf->recognizeLoadedImage(loaded.value(), observer);
        });
    });
}

void AppDelegate::recognizeBitmap(const QImage& image, DeliveryObserver observer) {
    recognizeLoadedImage(image, std::move(observer));
}

void AppDelegate::recognizeLoadedImage(const QImage& image, DeliveryObserver observer) {
    const QImage bitmap = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
    if (bitmap.isNull()) {
        const CaptureResult failure =
            CaptureResult::failure(CaptureError::cgImageConversionFailed());
        handleCaptureResult(failure);
        if (observer) {
            observer(failure);
        }
        return;
    }
    QPointer<AppDelegate> weakSelf(this);
    m_captureService->recognize(bitmap,
                                [weakSelf, observer = std::move(observer)](CaptureResult result) {
                                    if (weakSelf) {
                                        weakSelf->deliverOnMainThread(std::move(result), observer);
                                    }
                                });
}

void AppDelegate::deliverOnMainThread(CaptureResult result, DeliveryObserver observer) {
    // The clipboard and widgets belong to the GUI thread.
    QPointer<AppDelegate> weakSelf(this);
    platform::current().mainQueue->async(
        [weakSelf, result = std::move(result), observer = std::move(observer)] {
            if (!weakSelf) {
                return;
            }
            weakSelf->handleCaptureResult(result);
            if (observer) {
                observer(result);
            }
        });
}

void AppDelegate::handleCaptureResult(const CaptureResult& result) {
    auto& preferences = PreferenceManager::shared();
    if (!result.isSuccess()) {
        if (result.error().kind() == CaptureError::Kind::captureCancelled) {
            if (preferences.showPrompts()) {
                ToastWindowController::show(
                    QCoreApplication::translate("AppDelegate", "Copy Text Cancelled"), kFailureIcon,
                    kToastDuration);
            }
            return;
        }
        // Written even with prompts off, so a failure is never silent to someone who looks.
        Log::write(Log::general(), QtWarningMsg, QStringLiteral("Copy Text Failed: %1"),
                   {{result.error().localizedDescription(), LogPrivacy::public_}});
        QPointer<AppDelegate> weakSelf(this);
        if (isDeclinedCapture(result.error())) {
            // The desktop said no: the same as a missing permission, never a silent failure.
            platform::current().mainQueue->async([weakSelf] {
                if (weakSelf) {
                    weakSelf->showScreenRecordingAlert();
                }
            });
            return;
        }
        platform::current().mainQueue->async([weakSelf, error = result.error()] {
            if (weakSelf) {
                weakSelf->showCaptureFailure(error);
            }
        });
        return;
    }

    const auto& platform = platform::current();
    platform.clipboard->clearContents();
    platform.clipboard->setString(result.value());
    if (preferences.enableSound()) {
        platform.sounds->play(preferences.soundName());
    }
    if (preferences.showPrompts()) {
        ToastWindowController::show(QCoreApplication::translate("AppDelegate", "Copy Text Succeed"),
                                    kSuccessIcon, kToastDuration);
    }
}

void AppDelegate::showCaptureFailure(const CaptureError& error) {
    if (PreferenceManager::shared().showPrompts()) {
        ToastWindowController::show(
            QCoreApplication::translate("AppDelegate", "Copy Text Failed, ") +
                error.localizedDescription(),
            kFailureIcon, kToastDuration);
    }
}

} // namespace quorvale
