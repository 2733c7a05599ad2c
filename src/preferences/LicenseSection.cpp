#include "preferences/LicenseSection.h"

#include "preferences/SectionHeader.h"

#include <QFontDatabase>
#include <QVBoxLayout>

namespace quorvale {

LicenseSection::LicenseSection(const QString& name, const QString& text, QWidget* parent)
    : QWidget(parent)
    , m_name(name)
    , m_text(new QPlainTextEdit) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(new SectionHeader(name));
    m_text->setReadOnly(true);
    m_text->setPlainText(text);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Long texts (Qt's runs to thousands of lines) scroll inside their own box.
    const int lines = std::min<int>(14, int(text.count(u'\n')) + 2);
    m_text->setFixedHeight(lines * m_text->fontMetrics().lineSpacing() + 24);
    m_text->document()->setDocumentMargin(12);
    layout->addWidget(m_text);
}

} // namespace quorvale
