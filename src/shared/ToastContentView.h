#pragma once

#include <QPainterPath>
#include <QString>
#include <QWidget>

namespace quorvale {

// The toast's label: symbol and message in white on a dark rounded rectangle, with a
// transparent margin around it. It is also the toast's whole window.
class ToastContentView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSpacing = 6;
    static constexpr int kPadding = 16;
    static constexpr int kCornerRadius = 10;
    static constexpr int kMargin = 10;
    static inline const QString kDefaultIcon = QStringLiteral("document.on.document");

    explicit ToastContentView(const QString& message, const QString& icon = {},
                              QWidget* parent = nullptr);

    const QString& message() const { return m_message; }
    // The symbol drawn, with an empty name already replaced by the default.
    const QString& iconName() const { return m_iconName; }

    // The label's rounded rectangle; everything outside it is transparent.
    QRect labelRect() const;
    QPainterPath labelPath() const;

    // Only worth it where the margin can really be translucent.
    void setShadowVisible(bool visible);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static QFont title2Font();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool hasSymbol() const;
    int symbolSide() const;
    QSize textSize() const;

    QString m_message;
    QString m_iconName;
    bool m_shadowVisible = false;
};

} // namespace quorvale
