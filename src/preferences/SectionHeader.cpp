#include "preferences/SectionHeader.h"

namespace quorvale {

SectionHeader::SectionHeader(const QString& text, bool secondary, QWidget* parent)
    : QLabel(text, parent) {
    QFont headline = font();
    headline.setBold(true);
    setFont(headline);
    if (secondary) {
        makeSecondary(this);
    }
}

QColor SectionHeader::secondaryColor(const QPalette& palette) {
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(0.65f);
    return color;
}

void SectionHeader::makeSecondary(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, secondaryColor(palette));
    widget->setPalette(palette);
}

} // namespace quorvale
