#include "preferences/PrimaryButton.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace quorvale {

PrimaryButton::PrimaryButton(const QString& title, std::function<void()> action, bool isLoading,
                             bool isDisabled, std::optional<int> maxWidth, QWidget* parent)
    : QAbstractButton(parent)
    , m_isLoading(isLoading)
    , m_isDisabled(isDisabled)
    , m_maxWidth(maxWidth) {
    setText(title);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(maxWidth ? QSizePolicy::Preferred : QSizePolicy::Expanding, QSizePolicy::Fixed);
    if (maxWidth) {
        setMaximumWidth(*maxWidth);
    }
    m_hoverAnimation.setDuration(200);
    m_hoverAnimation.setEasingCurve(QEasingCurve::InOutQuad);
    connect(&m_hoverAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        m_brightness = v.toReal();
        update();
    });
    connect(this, &QAbstractButton::clicked, this, [action = std::move(action)] {
        if (action) {
            action();
        }
    });
    updateEnabled();
}

void PrimaryButton::setLoading(bool loading) {
    m_isLoading = loading;
    updateEnabled();
    update();
}

void PrimaryButton::setDisabledState(bool disabled) {
    m_isDisabled = disabled;
    updateEnabled();
}

void PrimaryButton::updateEnabled() {
    setEnabled(!m_isDisabled && !m_isLoading);
}

QSize PrimaryButton::sizeHint() const {
    QFont font = this->font();
    font.setWeight(QFont::DemiBold);
    const QFontMetrics metrics(font);
    return {metrics.horizontalAdvance(text()) + 2 * 16, metrics.height() + 2 * 10};
}

void PrimaryButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    animateHover(true);
}

void PrimaryButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    animateHover(false);
}

void PrimaryButton::animateHover(bool hovering) {
    m_isHovering = hovering;
    m_hoverAnimation.stop();
    m_hoverAnimation.setStartValue(m_brightness);
    m_hoverAnimation.setEndValue(hovering ? 0.05 : 0.0);
    m_hoverAnimation.start();
}

void PrimaryButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(1, 1, -1, -2);
    // A soft shadow just below the button.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 20));
    painter.drawRoundedRect(box.translated(0, 1), 10, 10);
    QColor fill = QColor::fromRgbF(0.22f, 0.58f, 0.96f);
    fill = QColor::fromRgbF(std::min(1.0, fill.redF() + m_brightness),
                            std::min(1.0, fill.greenF() + m_brightness),
                            std::min(1.0, fill.blueF() + m_brightness));
    if (!isEnabled()) {
        fill.setAlphaF(0.5f);
    }
    painter.setBrush(fill);
    painter.setPen(QPen(QColor(255, 255, 255, 38), 0.5));
    painter.drawRoundedRect(box, 10, 10);
    QFont font = this->font();
    font.setWeight(QFont::DemiBold);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, m_isLoading ? QStringLiteral("…") : text());
}

} // namespace quorvale
