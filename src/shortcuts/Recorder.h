#pragma once

#include "shortcuts/RecorderCocoa.h"

#include <QLabel>
#include <QWidget>

namespace GlobalShortcuts {

// A settings row: an optional label and the recorder field for one name.
class Recorder : public QWidget {
    Q_OBJECT
public:
    // The bare field.
    explicit Recorder(const Name& name, RecorderCocoa::OnChange onChange = {},
                      QWidget* parent = nullptr);
    // The field after a label with that text.
    Recorder(const QString& title, const Name& name, RecorderCocoa::OnChange onChange = {},
             QWidget* parent = nullptr);

    bool hasLabel() const { return m_label != nullptr; }
    QLabel* label() const { return m_label; }
    RecorderCocoa* field() const { return m_field; }
    // Re-targets the same field.
    void setName(const Name& name) { m_field->setShortcutName(name); }

private:
    QLabel* m_label = nullptr;
    RecorderCocoa* m_field = nullptr;
};

} // namespace GlobalShortcuts
