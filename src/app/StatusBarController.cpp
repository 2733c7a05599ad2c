#include "app/StatusBarController.h"

#include "app/ChoosePhotoWindow.h"
#include "app/ClipboardImageReader.h"
#include "app/ImageLoader.h"
#include "platform/Platform.h"
#include "preferences/PreferenceManager.h"
#include "shared/AppUpdater.h"
#include "shared/DragDropStatusItemView.h"
#include "shared/SymbolImages.h"
#include "shared/ToastWindowController.h"
#include "shortcuts/DesktopBoundShortcuts.h"
#include "shortcuts/GlobalShortcuts.h"
#include "shortcuts/ModifierFlags.h"
#include "shortcuts/SpecialKey.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QPalette>
#include <QStandardPaths>
#include <QThreadPool>
#include <QTimer>
#include <cstdio>

namespace quorvale {
namespace {

// A symbol the icon set does not have still leaves a visible item: the letter T.
QIcon letterIcon(const QColor& color) {
    QPixmap pixmap(44, 44);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font = QApplication::font();
    font.setPixelSize(34);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("T"));
    return QIcon(pixmap);
}

// Panels often start after the apps of the session, so the tray is looked for a little later.
constexpr int kTrayCheckDelayMs = 3000;
constexpr double kTrayNoticeSeconds = 6.0;
const QString kTrayMissingNoticeKey = QStringLiteral("TrayMissingNoticeShown");

struct ShortcutEntry {
    const char* title;
    const GlobalShortcuts::Name& (*name)();
};
const ShortcutEntry kShortcutEntries[] = {
    {"Capture Text", &GlobalShortcuts::Name::captureAndCopy},
    {"Capture Text in Window Mode", &GlobalShortcuts::Name::captureAndCopyWindowMode},
    {"Capture Text from File...", &GlobalShortcuts::Name::captureFromFile},
    {"Capture Text from Photos...", &GlobalShortcuts::Name::captureFromPhotos},
};

QString translated(const char* text) {
    return QCoreApplication::translate("StatusBarController", text);
}

} // namespace

const QStringList StatusBarController::kImageFileTypes = {
    QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("tiff"),
    QStringLiteral("bmp")};

StatusBarController::StatusBarController(Callbacks callbacks,
                                         std::unique_ptr<platform::StatusItem> statusItem)
    : m_callbacks(std::move(callbacks))
    , m_statusItem(statusItem ? std::move(statusItem)
                              : platform::current().statusBar->makeStatusItem()) {
    setUpStatusItem();

    QTimer::singleShot(kTrayCheckDelayMs, this, [this] {
        auto& defaults = PreferenceManager::shared().defaults();
        if (m_statusItem->isShown() || defaults.boolForKey(kTrayMissingNoticeKey)) {
            return;
        }
        PreferenceManager::shared().save(true, kTrayMissingNoticeKey);
        // A toast, not a dialog: it must not take focus from whatever the user is doing.
        // Without shortcuts of ours, the desktop has to run the commands.
        const bool shortcuts =
            platform::current().hotKeys->isAvailable() ||
            GlobalShortcuts::DesktopBound::state() == GlobalShortcuts::DesktopBound::State::bound;
        ToastWindowController::show(
            shortcuts ? QCoreApplication::translate(
                            "StatusBarController",
                            "No system tray found: use the shortcuts or quorvale --help")
                      : QCoreApplication::translate(
                            "StatusBarController",
                            "No system tray found: bind the commands of quorvale --help to keys "
                            "in your desktop's keyboard settings"),
            QStringLiteral("xmark.app"), kTrayNoticeSeconds);
    });
}

StatusBarController::~StatusBarController() {
    m_statusItem->setVisible(false);
}

bool StatusBarController::eventFilter(QObject* watched, QEvent* event) {
    // The drop view covers the whole icon, whatever size the tray gives it.
    if (event->type() == QEvent::Resize && m_dropView && watched == m_statusItem->button()) {
        m_dropView->setGeometry(m_statusItem->button()->rect());
    }
    return QObject::eventFilter(watched, event);
}

QString StatusBarController::title(const QAction* entry) {
    return entry->text().section(u'\t', 0, 0);
}

QString StatusBarController::acceleratorText(const GlobalShortcuts::Shortcut& shortcut) {
    // A key with no character in the current layout (or a damaged stored code) shows nothing
    // rather than a placeholder.
    const bool special =
        GlobalShortcuts::SpecialKeys::forKeyCode(shortcut.carbonKeyCode).has_value();
    if (!special && (shortcut.carbonKeyCode < 0 || shortcut.carbonKeyCode > 0xFFFF ||
                     !GlobalShortcuts::layoutCharacter(shortcut.carbonKeyCode))) {
        return {};
    }
    return shortcut.displayString();
}

void StatusBarController::setUpStatusItem() {
    if (QWidget* button = m_statusItem->button()) {
        m_dropView = new DragDropStatusItemView(QRect(0, 0, 24, 24), button);
        QPointer<StatusBarController> weakSelf(this);
        m_dropView->onFileDropped = [weakSelf](const QUrl& url) {
            if (weakSelf && weakSelf->m_callbacks.onRecognizeImage) {
                weakSelf->m_callbacks.onRecognizeImage(url.toLocalFile());
            }
        };
        m_dropView->setGeometry(button->rect());
        button->installEventFilter(this);
        m_dropView->show();
    }
    updateStatusBarIcon();

    QPointer<StatusBarController> weakSelf(this);
    connect(&PreferenceManager::shared(), &PreferenceManager::willChange, this, [weakSelf] {
        // The new value lands after the announcement; read it on a later turn.
        platform::current().mainQueue->async([weakSelf] {
            if (weakSelf) {
                weakSelf->updateStatusBarIcon();
            }
        });
    });

    buildMenu();
    connect(&m_menu, &QMenu::aboutToShow, this, &StatusBarController::menuWillOpen);
    // A StatusNotifier host may show the menu without telling us first.
    menuWillOpen();
    m_statusItem->setToolTip(QStringLiteral("Quorvale"));
    m_statusItem->setMenu(&m_menu);
    m_statusItem->setVisible(true);
}

void StatusBarController::buildMenu() {
    auto add = [this](const char* text, auto handler) {
        QAction* entry = m_menu.addAction(translated(text));
        connect(entry, &QAction::triggered, this, handler);
        return entry;
    };
    QPointer<StatusBarController> weakSelf(this);
    auto call = [weakSelf](auto member) {
        return [weakSelf, member] {
            if (weakSelf && weakSelf->m_callbacks.*member) {
                (weakSelf->m_callbacks.*member)();
            }
        };
    };
    add(kShortcutEntries[0].title, [this] {
        if (m_callbacks.onCapture) {
            m_callbacks.onCapture(false);
        }
    });
    add(kShortcutEntries[1].title, [this] {
        if (m_callbacks.onCapture) {
            m_callbacks.onCapture(true);
        }
    });
    add(kShortcutEntries[2].title, [this] { showImageFilePanel(); });
    add(kShortcutEntries[3].title, [this] { showPhotosPicker(); });
    m_menu.addSeparator();
    m_launchAtLogin = add("Launch at Login", [] {
        auto& preferences = PreferenceManager::shared();
        preferences.setLaunchAtLogin(platform::current().loginItem->status() !=
                                     platform::LoginItemService::enabled);
    });
    m_showPrompts = add("Show Prompts", [] {
        auto& preferences = PreferenceManager::shared();
        preferences.save(!preferences.showPrompts(), PreferenceManager::kShowPromptsKey);
    });
    m_enableSound = add("Enable Sound", [] {
        auto& preferences = PreferenceManager::shared();
        preferences.save(!preferences.enableSound(), PreferenceManager::kEnableSoundKey);
    });
    for (QAction* toggle : {m_launchAtLogin, m_showPrompts, m_enableSound}) {
        toggle->setCheckable(true);
    }
    m_menu.addSeparator();
    add("Preferences", call(&Callbacks::onOpenPreferences));
    m_menu.addSeparator();
    QAction* updates = m_menu.addAction(translated("Check for Updates..."));
    connect(updates, &QAction::triggered, &AppUpdater::shared(), &AppUpdater::checkForUpdates);
    add("Quit", call(&Callbacks::onQuit));
}

void StatusBarController::menuWillOpen() {
    refreshKeyEquivalents();
    validateMenuItems();
}

void StatusBarController::refreshKeyEquivalents() {
    // Shown beside the title only: the global grab alone handles the keys, never the menu.
    for (const ShortcutEntry& pair : kShortcutEntries) {
        const QString wanted = translated(pair.title);
        for (QAction* entry : m_menu.actions()) {
            if (entry->isSeparator() || title(entry) != wanted) {
                continue;
            }
            const auto shortcut = GlobalShortcuts::getShortcut(pair.name());
            const QString keys = shortcut ? acceleratorText(*shortcut) : QString();
            entry->setText(keys.isEmpty() ? wanted : wanted + u'\t' + keys);
            break;
        }
    }
}

void StatusBarController::validateMenuItems() {
    auto& preferences = PreferenceManager::shared();
    for (QAction* entry : m_menu.actions()) {
        entry->setEnabled(true);
    }
    m_launchAtLogin->setChecked(platform::current().loginItem->status() ==
                                platform::LoginItemService::enabled);
    m_showPrompts->setChecked(preferences.showPrompts());
    m_enableSound->setChecked(preferences.enableSound());
}

void StatusBarController::updateStatusBarIcon() {
    const QColor color = QApplication::palette().color(QPalette::WindowText);
    QString name = PreferenceManager::shared().statusBarIconName();
    if (name.isEmpty()) {
        name = kDefaultIconName;
    }
    m_statusItem->setIcon(SymbolImages::exists(name) ? SymbolImages::icon(name, color)
                                                     : letterIcon(color));
}

void StatusBarController::showImageFilePanel() {
    auto* dialog = new QFileDialog(nullptr, translated("Capture Text from File"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    // Images usually live in Pictures; the app's working folder means nothing to the user.
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    dialog->setDirectory(QFileInfo(pictures).isDir() ? pictures : QDir::homePath());
    QStringList patterns;
    for (const QString& type : kImageFileTypes) {
        patterns.append(QStringLiteral("*.") + type);
    }
    dialog->setNameFilter(translated("Images") + QStringLiteral(" (") + patterns.join(u' ') + u')');
    QPointer<StatusBarController> weakSelf(this);
    connect(dialog, &QFileDialog::fileSelected, dialog, [weakSelf](const QString& path) {
        if (weakSelf && !path.isEmpty() && weakSelf->m_callbacks.onRecognizeImage) {
            weakSelf->m_callbacks.onRecognizeImage(path);
        }
    });
    dialog->open();
    dialog->raise();
    dialog->activateWindow();
}

void StatusBarController::showPhotosPicker() {
    auto* window = new ChoosePhotoWindow();
    QPointer<StatusBarController> weakSelf(this);
    QPointer<ChoosePhotoWindow> weakWindow(window);
    window->onFinish = [weakSelf, weakWindow](const std::optional<QString>& path) {
        if (weakSelf && weakWindow) {
            weakSelf->pickerDidFinishPicking(weakWindow, path);
        }
    };
    // An earlier window stays open; only the field moves on.
    m_photosPickerWindow = window;
    window->show();
    window->raise();
    window->activateWindow();
}

void StatusBarController::pickerDidFinishPicking(ChoosePhotoWindow* window,
                                                 const std::optional<QString>& path) {
    // Each window finishes only itself, whichever window the field holds now.
    window->close();
    if (m_photosPickerWindow == window) {
        m_photosPickerWindow = nullptr;
    }
    if (!path) {
        return;
    }
    QPointer<StatusBarController> weakSelf(this);
    QThreadPool::globalInstance()->start([weakSelf, file = *path] {
        ImageLoader::LoadResult loaded = ImageLoader::load(file);
        if (!loaded.isSuccess()) {
            return; // a photo that cannot be read ends silently
        }
        platform::current().mainQueue->async([weakSelf, image = loaded.value()] {
            if (weakSelf && weakSelf->m_callbacks.onRecognizeBitmap) {
                weakSelf->m_callbacks.onRecognizeBitmap(image);
            }
        });
    });
}

void StatusBarController::recognizeClipboardImage() {
    QPointer<StatusBarController> weakSelf(this);
    ClipboardImageReader::read(
        platform::current().clipboard, [weakSelf](const ClipboardImageReader::Outcome& outcome) {
            if (weakSelf && outcome.image && weakSelf->m_callbacks.onRecognizeBitmap) {
                weakSelf->m_callbacks.onRecognizeBitmap(*outcome.image);
            }
        });
}

} // namespace quorvale
