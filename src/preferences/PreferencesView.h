#pragma once

#include <QWidget>

namespace quorvale {

// The root of the settings window; announces the size it wants when it comes on screen.
class PreferencesView : public QWidget {
    Q_OBJECT
public:
    static inline const QString kContentSizeDidChange =
        QStringLiteral("preferencesContentSizeDidChange");
    static inline const QString kSizeKey = QStringLiteral("size");

    PreferencesView(int width, int height, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QSize m_size;
};

} // namespace quorvale
