#include "preferences/OCRSettingsView.h"

#include "preferences/CardFrame.h"
#include "preferences/PreferenceManager.h"
#include "preferences/SectionHeader.h"
#include "recognition/OCRService.h"

#include <QPointer>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace quorvale {
namespace {
constexpr int kCodeRole = Qt::UserRole;
} // namespace

OCRSettingsView::OCRSettingsView(PreferenceManager& prefs, QWidget* parent)
    : QWidget(parent)
    , m_prefs(prefs) {
    auto* layout = new QVBoxLayout(this);
    auto* header = new SectionHeader(tr("Select languages to recognize:"), true);
    header->setContentsMargins(8, 8, 8, 0);
    layout->addWidget(header);

    auto* card = new CardFrame(12);
    auto* cardLayout = new QVBoxLayout(card);
    cardLayout->setContentsMargins(8, 8, 8, 8);
    m_list = new QListWidget;
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->viewport()->setAutoFillBackground(false);
    m_list->setAutoFillBackground(false);
    m_list->setSpacing(2);
    cardLayout->addWidget(m_list);
    layout->addWidget(card, 1);

    m_note = new QLabel;
    m_note->setWordWrap(true);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    SectionHeader::makeSecondary(m_note);
    layout->addWidget(m_note);

    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        OCRService::setSelected(item->data(kCodeRole).toString(),
                                item->checkState() == Qt::Checked);
    });
    QPointer<OCRSettingsView> weakSelf(this);
    connect(&m_prefs, &PreferenceManager::willChange, this, [this, weakSelf] {
        m_prefs.afterPendingWrites([weakSelf] {
            if (weakSelf) {
                weakSelf->refreshTicks();
            }
        });
    });
    reload();
}

void OCRSettingsView::reload() {
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    for (const auto& language : OCRService::supportedLanguages()) {
        auto* item = new QListWidgetItem(language.name, m_list);
        item->setData(kCodeRole, language.code);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    }
    if (m_list->count() == 0) {
        m_note->setText(
            tr("No recognition data is installed, so no text can be recognised. Install the "
               "Debian package tesseract-ocr-eng for English, or tesseract-ocr-XXX for another "
               "language (for example tesseract-ocr-deu for German)."));
    } else {
        m_note->setText(
            tr("To add a language, install the Debian package tesseract-ocr-XXX, for example "
               "tesseract-ocr-deu for German (sudo apt install tesseract-ocr-deu); it shows up "
               "here the next time this page opens."));
    }
    refreshTicks();
}

void OCRSettingsView::refreshTicks() {
    const QSignalBlocker blocker(m_list);
    for (int i = 0; i < m_list->count(); ++i) {
        QListWidgetItem* item = m_list->item(i);
        item->setCheckState(
            OCRService::isSelected(item->data(kCodeRole).toString()) ? Qt::Checked : Qt::Unchecked);
    }
}

void OCRSettingsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    reload();
}

} // namespace quorvale
