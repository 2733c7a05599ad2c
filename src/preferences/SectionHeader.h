#pragma once

#include <QLabel>

namespace quorvale {

// A bold heading over a group of settings, optionally in the palette's quieter colour.
class SectionHeader : public QLabel {
    Q_OBJECT
public:
    explicit SectionHeader(const QString& text, bool secondary = false, QWidget* parent = nullptr);

    // The palette's text colour softened for captions and explanations.
    static QColor secondaryColor(const QPalette& palette);
    static void makeSecondary(QWidget* widget);
};

} // namespace quorvale
