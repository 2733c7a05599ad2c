#pragma once

#include <QAbstractButton>
#include <QVariantAnimation>
#include <functional>
#include <optional>

namespace quorvale {

// The one filled blue button of the settings, brightening a little under the pointer.
class PrimaryButton : public QAbstractButton {
    Q_OBJECT
public:
    PrimaryButton(const QString& title, std::function<void()> action, bool isLoading = false,
                  bool isDisabled = false, std::optional<int> maxWidth = std::nullopt,
                  QWidget* parent = nullptr);

    bool isLoading() const { return m_isLoading; }
    void setLoading(bool loading);
    void setDisabledState(bool disabled);
    bool isHovering() const { return m_isHovering; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void updateEnabled();
    void animateHover(bool hovering);

    bool m_isLoading;
    bool m_isDisabled;
    bool m_isHovering = false;
    std::optional<int> m_maxWidth;
    qreal m_brightness = 0.0;
    QVariantAnimation m_hoverAnimation;
};

} // namespace quorvale
