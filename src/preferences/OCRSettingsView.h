#pragma once

#include <QLabel>
#include <QListWidget>
#include <QWidget>

namespace quorvale {

class PreferenceManager;

// One checkbox per installed recognition language; the ticked ones are read next time.
class OCRSettingsView : public QWidget {
    Q_OBJECT
public:
    explicit OCRSettingsView(PreferenceManager& prefs, QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }
    QLabel* note() const { return m_note; }

public slots:
    // Lists the languages afresh and ticks the selected ones.
    void reload();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refreshTicks();

    PreferenceManager& m_prefs;
    QListWidget* m_list = nullptr;
    QLabel* m_note = nullptr;
};

} // namespace quorvale
