#include "preferences/GeneralSettingsView.h"

#include "platform/Platform.h"
#include "preferences/PreferenceManager.h"
#include "preferences/PrimaryButton.h"
#include "preferences/SectionHeader.h"
#include "shared/SymbolImages.h"

#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPointer>
#include <QSignalBlocker>
#include <QSystemTrayIcon>
#include <QVBoxLayout>

namespace quorvale {
namespace {

std::function<bool()>& trayIconShown() {
    static std::function<bool()> isShown = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    return isShown;
}

QLabel* caption(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    QFont small = label->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    label->setFont(small);
    SectionHeader::makeSecondary(label);
    return label;
}

QWidget* section(const QString& title, QLayout* content) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(new SectionHeader(title));
    layout->addLayout(content);
    return box;
}

} // namespace

GeneralSettingsView::GeneralSettingsView(PreferenceManager& prefs, QStringList availableSounds,
                                         QStringList availableIcons, QWidget* parent)
    : QWidget(parent)
    , m_prefs(prefs)
    , m_availableSounds(std::move(availableSounds))
    , m_availableIcons(std::move(availableIcons)) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildGeneralSection());
    layout->addWidget(buildBehaviorSection());
    layout->addWidget(buildPermissionsSection());
    layout->addStretch(1);

    QPointer<GeneralSettingsView> weakSelf(this);
    // Changes made elsewhere (the tray menu) show once they are stored.
    connect(&m_prefs, &PreferenceManager::willChange, this, [this, weakSelf] {
        m_prefs.afterPendingWrites([weakSelf] {
            if (weakSelf) {
                weakSelf->refresh();
            }
        });
    });
    refresh();
}

void GeneralSettingsView::setTrayIconShown(std::function<bool()> isShown) {
    trayIconShown() = std::move(isShown);
}

QWidget* GeneralSettingsView::buildGeneralSection() {
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    m_iconPicker = new QComboBox;
    m_iconPicker->setIconSize({20, 20});
    for (const QString& name : m_availableIcons) {
        m_iconPicker->addItem(QIcon(), QString(), name);
    }
    m_iconPicker->setAccessibleName(tr("Status Bar Icon"));
    connect(m_iconPicker, &QComboBox::activated, this, [this](int index) {
        m_prefs.setStatusBarIconName(m_iconPicker->itemData(index).toString());
    });
    form->addRow(tr("Status Bar Icon"), m_iconPicker);

    m_launchAtLogin = new QCheckBox(tr("Launch at Login"));
    connect(m_launchAtLogin, &QCheckBox::toggled, this, &GeneralSettingsView::launchAtLoginToggled);
    m_launchAtLoginError =
        caption(tr("The autostart entry could not be changed; the box shows what is in force."));
    m_launchAtLoginError->hide();
    form->addRow(m_launchAtLogin);
    form->addRow(m_launchAtLoginError);

    // Linux desktops call it the taskbar.
    m_showDockIcon = new QCheckBox(tr("Show in Taskbar"));
    connect(m_showDockIcon, &QCheckBox::toggled, this,
            [this](bool on) { m_prefs.setShowDockIcon(on); });
    m_noTrayNote = caption(tr("No tray icon can be shown on this desktop: to open these "
                              "settings again, run quorvale once more."));
    form->addRow(m_showDockIcon);
    form->addRow(m_noTrayNote);
    return section(tr("General"), form);
}

QWidget* GeneralSettingsView::buildBehaviorSection() {
    auto* form = new QFormLayout;
    m_showPrompts = new QCheckBox(tr("Show Prompts"));
    m_showPrompts->setToolTip(tr("Show notifications after actions"));
    connect(m_showPrompts, &QCheckBox::toggled, this,
            [this](bool on) { m_prefs.setShowPrompts(on); });
    form->addRow(m_showPrompts);

    m_enableSound = new QCheckBox(tr("Enable Sound"));
    m_enableSound->setToolTip(tr("Play sound when capturing"));
    connect(m_enableSound, &QCheckBox::toggled, this, [this](bool on) {
        m_prefs.setEnableSound(on);
        m_soundRow->setVisible(on);
    });
    form->addRow(m_enableSound);

    m_soundRow = new QWidget;
    auto* row = new QHBoxLayout(m_soundRow);
    row->setContentsMargins(0, 0, 0, 0);
    m_soundPicker = new QComboBox;
    m_soundPicker->addItems(m_availableSounds);
    connect(m_soundPicker, &QComboBox::activated, this, &GeneralSettingsView::soundChosen);
    auto* label = new QLabel(tr("Sound"));
    label->setBuddy(m_soundPicker);
    row->addWidget(label);
    row->addWidget(m_soundPicker);
    row->addStretch(1);
    form->addRow(m_soundRow);
    return section(tr("Behavior"), form);
}

QWidget* GeneralSettingsView::buildPermissionsSection() {
    auto* column = new QVBoxLayout;
    column->addWidget(caption(
        tr("We need screen recording permission to capture text from any area of your screen. "
           "This permission is only used when you initiate a capture.")));
    auto* row = new QHBoxLayout;
    m_permissionIcon = new QLabel;
    m_permissionStatus = new QLabel;
    row->addWidget(m_permissionIcon);
    row->addWidget(m_permissionStatus, 1);
    column->addLayout(row);
    m_openSettings = new PrimaryButton(tr("Open Screen Recording Settings"),
                                       [this] { permissionActionClicked(); });
    column->addWidget(m_openSettings);
    // Selectable: it may hold a command to copy into a terminal.
    m_permissionFailure = caption(QString());
    m_permissionFailure->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_permissionFailure->hide();
    column->addWidget(m_permissionFailure);
    return section(tr("Permissions"), column);
}

void GeneralSettingsView::refresh() {
    {
        const QSignalBlocker blocker(m_iconPicker);
        m_iconPicker->setCurrentIndex(m_availableIcons.indexOf(m_prefs.statusBarIconName()));
    }
    {
        const QSignalBlocker blocker(m_launchAtLogin);
        m_launchAtLogin->setChecked(m_prefs.launchAtLogin());
    }
    {
        const QSignalBlocker blocker(m_showDockIcon);
        m_showDockIcon->setChecked(m_prefs.showDockIcon());
    }
    m_noTrayNote->setVisible(!trayIconShown()());
    {
        const QSignalBlocker blocker(m_showPrompts);
        m_showPrompts->setChecked(m_prefs.showPrompts());
    }
    const bool sound = m_prefs.enableSound();
    {
        const QSignalBlocker blocker(m_enableSound);
        m_enableSound->setChecked(sound);
    }
    m_soundRow->setVisible(sound);
    {
        const QSignalBlocker blocker(m_soundPicker);
        m_shownSound = m_prefs.soundName();
        m_soundPicker->setCurrentIndex(m_availableSounds.indexOf(m_shownSound));
    }
    refreshPermission();
    refreshIcons();
}

void GeneralSettingsView::refreshPermission() {
    const auto& permission = platform::current().screenCapturePermission;
    const bool granted = permission->preflightAccess();
    const QColor color = granted ? QColor(0x2e, 0xa0, 0x43) : QColor(0xd7, 0x3a, 0x3a);
    m_permissionIcon->setPixmap(SymbolImages::pixmap(
        granted ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("xmark.circle.fill"), 16,
        color, devicePixelRatioF()));
    m_permissionStatus->setText(granted ? tr("Screen Recording Permission Granted")
                                        : tr("Screen Recording Permission Status: Denied"));
    QPalette palette = m_permissionStatus->palette();
    palette.setColor(QPalette::WindowText, color);
    m_permissionStatus->setPalette(palette);
    // The desktop's own way out where it has one, else its settings page, else nothing.
    const auto texts = permission->deniedTexts();
    const bool forgets = texts && !texts->forgetButton.isEmpty();
    const auto url = permission->settingsUrl();
    m_openSettings->setText(forgets ? texts->forgetButton : tr("Open Screen Recording Settings"));
    m_openSettings->setVisible(!granted && (forgets || (url && url->isValid())));
    if (granted) {
        m_permissionFailure->hide();
    }
}

void GeneralSettingsView::permissionActionClicked() {
    const auto& platform = platform::current();
    QPointer<GeneralSettingsView> self(this);
    const bool forgetting =
        platform.screenCapturePermission->forgetRefusal([self](std::optional<QString> failure) {
            if (!self) {
                return;
            }
            self->m_permissionFailure->setText(failure.value_or(QString()));
            self->m_permissionFailure->setVisible(failure.has_value());
            self->refreshPermission();
        });
    if (forgetting) {
        return;
    }
    if (auto url = platform.screenCapturePermission->settingsUrl(); url && url->isValid()) {
        platform.urlOpener->openUrl(*url);
    }
}

void GeneralSettingsView::refreshIcons() {
    const QColor ink = palette().color(QPalette::WindowText);
    for (int i = 0; i < m_iconPicker->count(); ++i) {
        m_iconPicker->setItemIcon(i, SymbolImages::icon(m_availableIcons[i], ink));
    }
}

void GeneralSettingsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
    QPointer<GeneralSettingsView> self(this);
    platform::current().screenCapturePermission->refreshAccess([self] {
        if (self) {
            self->refreshPermission();
        }
    });
}

void GeneralSettingsView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        refreshIcons();
    }
}

void GeneralSettingsView::launchAtLoginToggled(bool on) {
    m_prefs.setLaunchAtLogin(on);
    const bool now = m_prefs.launchAtLogin();
    m_launchAtLoginError->setVisible(now != on);
    const QSignalBlocker blocker(m_launchAtLogin);
    m_launchAtLogin->setChecked(now);
}

void GeneralSettingsView::soundChosen(int index) {
    const QString name = m_availableSounds.value(index);
    if (name.isEmpty() || name == m_shownSound) {
        return;
    }
    m_shownSound = name;
    m_prefs.setSoundName(name);
    platform::current().sounds->play(name);
}

} // namespace quorvale
