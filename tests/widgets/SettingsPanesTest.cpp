#include "platform/fake/FakePlatform.h"
#include "preferences/AboutSettingsView.h"
#include "preferences/GeneralSettingsView.h"
#include "preferences/LicensesView.h"
#include "preferences/OCRSettingsView.h"
#include "preferences/PreferenceManager.h"
#include "preferences/PreferencesView.h"
#include "preferences/PrimaryButton.h"
#include "preferences/ShortcutsSettingsView.h"
#include "shortcuts/GlobalShortcuts.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

class Panes : public ::testing::Test {
protected:
    void SetUp() override {
        GlobalShortcuts::detail::resetForTesting();
        PreferenceManager::setSharedForTesting(nullptr);
    }
    void TearDown() override {
        PreferenceManager::shared().waitForPendingWrites();
        PreferenceManager::setSharedForTesting(nullptr);
        GlobalShortcuts::detail::resetForTesting();
    }
    PreferenceManager& prefs() { return PreferenceManager::shared(); }
    // Lets queued writes land and the panes hear about them.
    void settle() {
        prefs().waitForPendingWrites();
        fakes.mainQueue->runPending();
    }
    std::unique_ptr<GeneralSettingsView> general() {
        return std::make_unique<GeneralSettingsView>(prefs(), PreferencesView::availableSounds(),
                                                     PreferencesView::availableIcons());
    }

    platform::FakePlatform fakes;
};

TEST_F(Panes, GeneralRowsWriteTheirSettings) {
    auto pane = general();
    EXPECT_EQ(pane->iconPicker()->currentData().toString(), "text.viewfinder");
    EXPECT_EQ(pane->soundPicker()->currentText(), "Funk");
    EXPECT_EQ(pane->showInTaskbarToggle()->text(), "Show in Taskbar");

    pane->iconPicker()->activated(3);
    pane->showPromptsToggle()->click();
    pane->showInTaskbarToggle()->click();
    settle();
    EXPECT_EQ(prefs().statusBarIconName(), "doc.text.viewfinder");
    EXPECT_FALSE(prefs().showPrompts());
    EXPECT_FALSE(prefs().showDockIcon());
    EXPECT_EQ(fakes.activationPolicy->activationPolicy(),
              platform::ActivationPolicyService::Policy::accessory);
    EXPECT_FALSE(pane->showPromptsToggle()->isChecked()) << "the pane reads the store back";

    prefs().setShowPrompts(true); // from the tray menu
    settle();
    EXPECT_TRUE(pane->showPromptsToggle()->isChecked());
}

TEST_F(Panes, SoundRowFollowsEnableSoundAndPlaysEachNewChoiceOnce) {
    auto pane = general();
    pane->show();
    EXPECT_TRUE(pane->soundRow()->isVisible());
    pane->enableSoundToggle()->click();
    EXPECT_FALSE(pane->soundRow()->isVisible());
    pane->enableSoundToggle()->click();
    EXPECT_TRUE(pane->soundRow()->isVisible());

    const int glass = PreferencesView::availableSounds().indexOf("Glass");
    pane->soundPicker()->setCurrentIndex(glass);
    pane->soundPicker()->activated(glass);
    pane->soundPicker()->activated(glass);
    settle();
    EXPECT_EQ(fakes.sounds->played, QStringList({"Glass"}));
    EXPECT_EQ(prefs().soundName(), "Glass");
}

TEST_F(Panes, LaunchAtLoginShowsTheRealStateAfterAFailure) {
    auto pane = general();
    pane->launchAtLoginToggle()->click();
    EXPECT_TRUE(pane->launchAtLoginToggle()->isChecked());
    fakes.loginItem->failure = QStringLiteral("read-only folder");
    pane->launchAtLoginToggle()->click();
    EXPECT_TRUE(pane->launchAtLoginToggle()->isChecked()) << "still registered";
    EXPECT_EQ(fakes.loginItem->calls, QStringList({"register", "unregister"}));
}

// X11 has no screen permission, so there is no settings page to send anyone to.
TEST_F(Panes, NoSettingsButtonAndTheWayBackWithoutATray) {
    for (const bool tray : {true, false}) {
        GeneralSettingsView::setTrayIconShown([tray] { return tray; });
        auto pane = general();
        pane->show();
        EXPECT_EQ(pane->permissionStatus()->text(), "Screen Recording Permission Granted");
        EXPECT_FALSE(pane->openSettingsButton()->isVisible());
        EXPECT_EQ(pane->noTrayNote()->isVisible(), !tray);
    }
    GeneralSettingsView::setTrayIconShown([] { return true; });
}

TEST_F(Panes, ShortcutRowsAreBoundToTheFourNames) {
    ShortcutsSettingsView pane;
    QStringList rows;
    for (const auto* recorder : pane.recorders()) {
        rows << recorder->label()->text() + " = " + recorder->field()->shortcutName().rawValue +
                    " " + recorder->field()->text();
    }
    EXPECT_EQ(rows, QStringList({"Capture & Copy = captureAndCopy Super+Alt+P",
                                 "Window Mode = captureAndCopyWindowMode Super+Alt+O",
                                 "Capture from File = captureFromFile Super+Alt+I",
                                 "Capture from Photos = captureFromPhotos Super+Alt+U"}));
}

TEST_F(Panes, LanguagesTickIntoTheStoredOrder) {
    fakes.textRecognizer->languages = QStringList{"en-US", "de-DE", "fr-FR"};
    OCRSettingsView pane(prefs());
    ASSERT_EQ(pane.list()->count(), 3);
    EXPECT_EQ(pane.list()->item(1)->text(), "German (Germany)");
    EXPECT_EQ(pane.list()->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(pane.list()->item(1)->checkState(), Qt::Unchecked);
    pane.list()->item(2)->setCheckState(Qt::Checked);
    settle();
    pane.list()->item(0)->setCheckState(Qt::Unchecked);
    settle();
    EXPECT_EQ(prefs().recognitionLanguages(), QStringList({"fr-FR"}));
    EXPECT_TRUE(pane.note()->text().contains("tesseract-ocr-"));

    fakes.textRecognizer->languages = std::nullopt;
    pane.reload();
    EXPECT_EQ(pane.list()->count(), 0);
    EXPECT_TRUE(pane.note()->text().startsWith("No recognition data is installed"));
    EXPECT_EQ(prefs().recognitionLanguages(), QStringList({"fr-FR"}));
}

TEST_F(Panes, AboutLinksAndUpdatesOnlyWhenConfigured) {
    {
        AboutSettingsView::setConfiguration({});
        AboutSettingsView pane;
        EXPECT_EQ(pane.privacyLink(), nullptr);
        EXPECT_EQ(pane.termsLink(), nullptr);
        EXPECT_FALSE(pane.checkForUpdatesButton()->isEnabled()) << "no updater, no pretending";
    }
    int checks = 0;
    AboutSettingsView::setConfiguration({[&] { ++checks; }, QUrl("https://example.org/privacy"),
                                         QUrl("https://example.org/terms")});
    AboutSettingsView pane;
    pane.checkForUpdatesButton()->click();
    pane.termsLink()->click();
    EXPECT_EQ(checks, 1);
    ASSERT_NE(pane.privacyLink(), nullptr);
    EXPECT_EQ(fakes.urlOpener->opened.back(), QUrl("https://example.org/terms"));
    AboutSettingsView::setConfiguration({});
}

TEST_F(Panes, AcknowledgementsCloseOnDoneAndOnEscape) {
    AboutSettingsView pane;
    pane.show();
    for (const bool escape : {false, true}) {
        pane.acknowledgementsLink()->click();
        ASSERT_TRUE(pane.showingLicenses());
        LicensesView* sheet = pane.licensesSheet();
        if (escape) {
            QTest::keyClick(sheet, Qt::Key_Escape);
        } else {
            sheet->findChild<QPushButton*>()->click();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(pane.showingLicenses()) << escape;
    }
}

TEST_F(Panes, LicencesAreThePublishedTextsOfTheLinkedLibraries) {
    QStringList names;
    for (const auto& [name, text] : LicensesView::bundledLicenses()) {
        names << name;
        EXPECT_GT(text.size(), 200) << name.toStdString();
    }
    for (const char* library :
         {"Qt", "Tesseract", "Leptonica", "ICU", "libxkbcommon", "libxcb", "libcanberra"}) {
        EXPECT_TRUE(names.contains(library)) << library;
    }
    EXPECT_TRUE(names.filter("Apache-2.0").size() == 1) << "the texts the files point to";
}

// Nothing may stay light on a dark desktop. QUORVALE_SCREENSHOT_DIR keeps the pictures.
TEST_F(Panes, EveryPaneFollowsLightAndDarkPalettes) {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
    dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Light, QColor(0x55, 0x55, 0x55));
    dark.setColor(QPalette::Midlight, QColor(0x48, 0x48, 0x48));
    dark.setColor(QPalette::Mid, QColor(0x40, 0x40, 0x40));
    dark.setColor(QPalette::Dark, QColor(0x60, 0x60, 0x60));
    dark.setColor(QPalette::Shadow, QColor(0x10, 0x10, 0x10));
    const QPalette light = QApplication::style()->standardPalette();
    const QString folder = qEnvironmentVariable("QUORVALE_SCREENSHOT_DIR");
    fakes.textRecognizer->languages = QStringList{"en-US", "de-DE", "fr-FR"};
    for (const auto& [name, palette] : {std::pair{"light", light}, std::pair{"dark", dark}}) {
        QApplication::setPalette(palette);
        PreferencesView view(650, 650);
        view.resize(650, 650);
        view.show();
        for (int tab = 0; tab < view.tabs()->count(); ++tab) {
            view.tabs()->setCurrentIndex(tab);
            EXPECT_FALSE(view.tabs()->tabIcon(tab).isNull()) << tab;
            const QImage shot = view.grab().toImage();
            if (!folder.isEmpty()) {
                shot.save(QString("%1/%2-%3.png").arg(folder, name).arg(tab));
            }
            double sum = 0;
            for (int y = 0; y < shot.height(); y += 4) {
                for (int x = 0; x < shot.width(); x += 4) {
                    sum += qGray(shot.pixel(x, y));
                }
            }
            const double mean = sum / ((shot.height() / 4 + 1) * (shot.width() / 4 + 1)) / 255;
            EXPECT_EQ(mean > 0.5, palette == light) << name << " tab " << tab << ": " << mean;
        }
    }
    QApplication::setPalette(light);
}

} // namespace
