#include "preferences/PreferencesView.h"

#include "preferences/AboutSettingsView.h"
#include "preferences/GeneralSettingsView.h"
#include "preferences/OCRSettingsView.h"
#include "preferences/PreferenceManager.h"
#include "preferences/ShortcutsSettingsView.h"
#include "shared/NotificationCenter.h"
#include "shared/SymbolImages.h"

#include <QEvent>
#include <QVBoxLayout>
#include <QVariant>

namespace quorvale {
namespace {

const char* const kTabSymbols[] = {"gear", "keyboard", "text.viewfinder", "info.circle"};

} // namespace

const QStringList& PreferencesView::availableSounds() {
    static const QStringList sounds{"Basso", "Blow",   "Bottle",    "Frog", "Funk",
                                    "Glass", "Hero",   "Morse",     "Ping", "Pop",
                                    "Purr",  "Sosumi", "Submarine", "Tink"};
    return sounds;
}

const QStringList& PreferencesView::availableIcons() {
    static const QStringList icons{
        "text.viewfinder", "viewfinder", "text.bubble",          "doc.text.viewfinder",
        "scanner",         "camera",     "document.on.document", "pencil.and.list.clipboard",
        "list.clipboard"};
    return icons;
}

PreferencesView::PreferencesView(int width, int height, QWidget* parent)
    : QWidget(parent)
    , m_prefs(PreferenceManager::shared())
    , m_size(width, height) {
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget;
    m_tabs->setDocumentMode(true);
    m_tabs->addTab(new GeneralSettingsView(m_prefs, availableSounds(), availableIcons()),
                   tr("General"));
    m_tabs->addTab(new ShortcutsSettingsView, tr("Shortcuts"));
    m_tabs->addTab(new OCRSettingsView(m_prefs), tr("Languages"));
    m_tabs->addTab(new AboutSettingsView, tr("About"));
    layout->addWidget(m_tabs);
    refreshTabIcons();
}

void PreferencesView::refreshTabIcons() {
    const QColor ink = palette().color(QPalette::WindowText);
    for (int i = 0; i < m_tabs->count(); ++i) {
        m_tabs->setTabIcon(i, SymbolImages::icon(QString::fromLatin1(kTabSymbols[i]), ink));
    }
}

void PreferencesView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        refreshTabIcons();
    }
}

void PreferencesView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    NotificationCenter::defaultCenter().post(kContentSizeDidChange,
                                             {{kSizeKey, QVariant::fromValue(m_size)}});
}

} // namespace quorvale
