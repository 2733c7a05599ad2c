#pragma once

#include "platform/StatusItem.h"

#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <memory>

namespace quorvale::platform {

class FakeStatusItem : public StatusItem {
public:
    explicit FakeStatusItem(bool withButton)
        : m_button(withButton ? std::make_unique<QWidget>() : nullptr) {
        if (m_button) {
            m_button->resize(22, 22);
        }
    }
    void setIcon(const QIcon& newIcon) override {
        icon = newIcon;
        ++iconChanges;
    }
    void setToolTip(const QString& text) override { toolTip = text; }
    void setMenu(QMenu* newMenu) override { menu = newMenu; }
    void setVisible(bool newVisible) override { visible = newVisible; }
    bool isShown() const override { return visible && trayPresent; }
    QWidget* button() const override { return m_button.get(); }

    QIcon icon;
    int iconChanges = 0;
    QString toolTip;
    QPointer<QMenu> menu;
    bool visible = false;
    bool trayPresent = true;

private:
    std::unique_ptr<QWidget> m_button;
};

} // namespace quorvale::platform
