#pragma once

#include "app/ChoosePhotoWindow.h"
#include "platform/StatusItem.h"
#include "shared/DragDropStatusItemView.h"

#include <QImage>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

namespace GlobalShortcuts {
class Shortcut;
}

namespace quorvale {

// The tray icon and its menu, which reaches every action, and the image inputs behind it.
class StatusBarController : public QObject {
    Q_OBJECT
public:
    struct Callbacks {
        std::function<void(bool windowMode)> onCapture;
        std::function<void()> onOpenPreferences;
        std::function<void()> onOpenSettings;
        std::function<void()> onQuit;
        std::function<void(const QString& path)> onRecognizeImage;
        std::function<void(const QImage& image)> onRecognizeBitmap;
    };

    static inline const QString kDefaultIconName = QStringLiteral("text.viewfinder");
    static const QStringList kImageFileTypes;

    // Without an item, the platform's tray makes one.
    explicit StatusBarController(Callbacks callbacks,
                                 std::unique_ptr<platform::StatusItem> statusItem = nullptr);
    ~StatusBarController() override;

    bool isIconShown() const { return m_statusItem->isShown(); }
    platform::StatusItem& statusItem() const { return *m_statusItem; }
    QMenu& menu() { return m_menu; }
    DragDropStatusItemView* dropView() const { return m_dropView; }
    ChoosePhotoWindow* photosPickerWindow() const { return m_photosPickerWindow; }
    // The entry's title without the shortcut shown beside it.
    static QString title(const QAction* entry);
    // A shortcut as a person on Linux reads it ("Super+Alt+P"); empty when its key has no
    // character.
    static QString acceleratorText(const GlobalShortcuts::Shortcut& shortcut);

    void updateStatusBarIcon();
    // Run each time the menu opens: current shortcuts, check marks and enabled states.
    void menuWillOpen();

    void showImageFilePanel();
    void showPhotosPicker();
    void recognizeClipboardImage();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpStatusItem();
    void buildMenu();
    void refreshKeyEquivalents();
    void validateMenuItems();
    void pickerDidFinishPicking(ChoosePhotoWindow* window, const std::optional<QString>& path);

    Callbacks m_callbacks;
    std::unique_ptr<platform::StatusItem> m_statusItem;
    QMenu m_menu;
    QPointer<DragDropStatusItemView> m_dropView;
    QPointer<ChoosePhotoWindow> m_photosPickerWindow;
    QAction* m_launchAtLogin = nullptr;
    QAction* m_showPrompts = nullptr;
    QAction* m_enableSound = nullptr;
};

} // namespace quorvale
