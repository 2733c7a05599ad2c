#pragma once

#include <QStringList>
#include <QTabWidget>
#include <QWidget>

namespace quorvale {

class PreferenceManager;

// The root of the settings window: the General, Shortcuts, Languages and About tabs.
// Announces the size it wants when it comes on screen.
class PreferencesView : public QWidget {
    Q_OBJECT
public:
    static inline const QString kContentSizeDidChange =
        QStringLiteral("preferencesContentSizeDidChange");
    static inline const QString kSizeKey = QStringLiteral("size");

    static const QStringList& availableSounds();
    static const QStringList& availableIcons();

    PreferencesView(int width, int height, QWidget* parent = nullptr);

    QTabWidget* tabs() const { return m_tabs; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refreshTabIcons();

    PreferenceManager& m_prefs;
    QSize m_size;
    QTabWidget* m_tabs = nullptr;
};

} // namespace quorvale
