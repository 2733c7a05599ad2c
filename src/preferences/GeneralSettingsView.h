#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QStringList>
#include <QWidget>
#include <functional>

namespace quorvale {

class PreferenceManager;
class PrimaryButton;

// Tray icon, login start, taskbar presence, prompts, sound, and the capture permission.
class GeneralSettingsView : public QWidget {
    Q_OBJECT
public:
    GeneralSettingsView(PreferenceManager& prefs, QStringList availableSounds,
                        QStringList availableIcons, QWidget* parent = nullptr);

    QComboBox* iconPicker() const { return m_iconPicker; }
    QCheckBox* launchAtLoginToggle() const { return m_launchAtLogin; }
    QCheckBox* showInTaskbarToggle() const { return m_showDockIcon; }
    QLabel* noTrayNote() const { return m_noTrayNote; }
    QCheckBox* showPromptsToggle() const { return m_showPrompts; }
    QCheckBox* enableSoundToggle() const { return m_enableSound; }
    QWidget* soundRow() const { return m_soundRow; }
    QComboBox* soundPicker() const { return m_soundPicker; }
    QLabel* permissionStatus() const { return m_permissionStatus; }
    PrimaryButton* openSettingsButton() const { return m_openSettings; }

    // Whether a tray icon is on screen; without one the settings are the way back in.
    static void setTrayIconShown(std::function<bool()> isShown);

public slots:
    // Shows what the store and the platform say now.
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildGeneralSection();
    QWidget* buildBehaviorSection();
    QWidget* buildPermissionsSection();
    void refreshIcons();
    void refreshPermission();
    void permissionActionClicked();
    void launchAtLoginToggled(bool on);
    void soundChosen(int index);

    PreferenceManager& m_prefs;
    QStringList m_availableSounds;
    QStringList m_availableIcons;
    QComboBox* m_iconPicker = nullptr;
    QCheckBox* m_launchAtLogin = nullptr;
    QLabel* m_launchAtLoginError = nullptr;
    QCheckBox* m_showDockIcon = nullptr;
    QLabel* m_noTrayNote = nullptr;
    QCheckBox* m_showPrompts = nullptr;
    QCheckBox* m_enableSound = nullptr;
    QWidget* m_soundRow = nullptr;
    QComboBox* m_soundPicker = nullptr;
    QLabel* m_permissionIcon = nullptr;
    QLabel* m_permissionStatus = nullptr;
    PrimaryButton* m_openSettings = nullptr;
    QLabel* m_permissionFailure = nullptr;
    QString m_shownSound;
};

} // namespace quorvale
