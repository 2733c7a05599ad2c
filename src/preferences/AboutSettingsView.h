#pragma once

#include "preferences/LicensesView.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QWidget>
#include <functional>

namespace quorvale {

// The app's name, version and update check, links to its policies, and the licences.
class AboutSettingsView : public QWidget {
    Q_OBJECT
public:
    // Filled in once at launch; the links show only while their address is set.
    struct Configuration {
        std::function<void()> checkForUpdates;
        QUrl privacyPolicy;
        QUrl termsOfUse;
    };
    static void setConfiguration(Configuration configuration);
    static const Configuration& configuration();

    explicit AboutSettingsView(QWidget* parent = nullptr);

    // "Version 1.2 (34)"; a missing value stays empty.
    static QString versionText(const QString& shortVersion, const QString& buildNumber);

    QLabel* versionLabel() const { return m_version; }
    QPushButton* checkForUpdatesButton() const { return m_checkForUpdates; }
    QPushButton* privacyLink() const { return m_privacy; }
    QPushButton* termsLink() const { return m_terms; }
    QPushButton* acknowledgementsLink() const { return m_acknowledgements; }
    bool showingLicenses() const { return m_licenses != nullptr; }
    LicensesView* licensesSheet() const { return m_licenses; }

private:
    QPushButton* link(const QString& title, const QString& symbol);
    void showLicenses();

    QLabel* m_version = nullptr;
    QPushButton* m_checkForUpdates = nullptr;
    QPushButton* m_privacy = nullptr;
    QPushButton* m_terms = nullptr;
    QPushButton* m_acknowledgements = nullptr;
    QPointer<LicensesView> m_licenses;
};

} // namespace quorvale
