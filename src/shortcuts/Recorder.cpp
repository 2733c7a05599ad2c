#include "shortcuts/Recorder.h"

#include <QHBoxLayout>

namespace GlobalShortcuts {

Recorder::Recorder(const Name& name, RecorderCocoa::OnChange onChange, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_field = new RecorderCocoa(name, std::move(onChange), this);
    layout->addWidget(m_field);
}

Recorder::Recorder(const QString& title, const Name& name, RecorderCocoa::OnChange onChange,
                   QWidget* parent)
    : Recorder(name, std::move(onChange), parent) {
    // No buddy: it would turn an "&" in the title into a mnemonic.
    m_label = new QLabel(title, this);
    m_field->setAccessibleName(title);
    static_cast<QHBoxLayout*>(layout())->insertWidget(0, m_label);
    static_cast<QHBoxLayout*>(layout())->insertStretch(1);
}

} // namespace GlobalShortcuts
