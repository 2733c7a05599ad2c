#pragma once

#include <QIcon>
#include <QString>

class QMenu;
class QWidget;

namespace quorvale::platform {

// The app's icon in the system tray.
class StatusItem {
public:
    virtual ~StatusItem() = default;
    virtual void setIcon(const QIcon& icon) = 0;
    virtual void setToolTip(const QString& text) = 0;
    // Opened by a right click and, as trays send a left click as activation, a left click too.
    virtual void setMenu(QMenu* menu) = 0;
    virtual void setVisible(bool visible) = 0;
    // True only while a tray actually shows the icon.
    virtual bool isShown() const = 0;
    // The widget the icon is drawn in, where drops can land; none where the tray host draws
    // the icon itself (StatusNotifier).
    virtual QWidget* button() const = 0;
};

} // namespace quorvale::platform
