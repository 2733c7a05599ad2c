#include "preferences/PreferencesView.h"

#include "SharedLib/NotificationCenter.h"

#include <QVariant>

namespace quorvale {

PreferencesView::PreferencesView(int width, int height, QWidget* parent)
    : QWidget(parent)
    , m_size(width, height) {}

void PreferencesView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    NotificationCenter::defaultCenter().post(kContentSizeDidChange,
                                             {{kSizeKey, QVariant::fromValue(m_size)}});
}

} // namespace quorvale
