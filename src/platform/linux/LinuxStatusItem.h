#pragma once

#include "platform/StatusItem.h"
#include "platform/linux/QtStatusItem.h"
#include "platform/linux/XEmbedStatusItem.h"

#include <QPointer>
#include <memory>

namespace quorvale::platform {

// The icon docked in an XEmbed tray whenever one runs, trays started after the app included,
// so drops reach it; Qt's icon (a StatusNotifier host's, if any) only while none runs.
class LinuxStatusItem : public StatusItem {
public:
    LinuxStatusItem();
    ~LinuxStatusItem() override;

    void setIcon(const QIcon& icon) override;
    void setToolTip(const QString& text) override;
    void setMenu(QMenu* menu) override;
    void setVisible(bool visible) override;
    bool isShown() const override;
    // Always the docked icon's widget, so a drop view set up before a tray appears works
    // once it does.
    QWidget* button() const override { return m_docked->button(); }

private:
    void follow(bool docked);

    std::unique_ptr<XEmbedStatusItem> m_docked;
    std::unique_ptr<QtStatusItem> m_hosted;
    QIcon m_icon;
    QString m_toolTip;
    QPointer<QMenu> m_menu;
    bool m_visible = false;
};

} // namespace quorvale::platform
