#pragma once

#include <QPlainTextEdit>
#include <QWidget>

namespace quorvale {

// One library's name over its licence text.
class LicenseSection : public QWidget {
    Q_OBJECT
public:
    LicenseSection(const QString& name, const QString& text, QWidget* parent = nullptr);

    QString name() const { return m_name; }
    QString text() const { return m_text->toPlainText(); }

private:
    QString m_name;
    QPlainTextEdit* m_text;
};

} // namespace quorvale
