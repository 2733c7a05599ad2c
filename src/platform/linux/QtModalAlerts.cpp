#include "platform/linux/QtModalAlerts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace quorvale::platform {

bool QtModalAlerts::hasModalWindow() const {
    return QApplication::activeModalWidget() != nullptr;
}

int QtModalAlerts::runModal(const AlertRequest& alert) {
    QMessageBox box;
    switch (alert.style) {
    case AlertRequest::Style::warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case AlertRequest::Style::informational:
        box.setIcon(QMessageBox::Information);
        break;
    case AlertRequest::Style::critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    // Desktops show the title in window lists and switchers: name the matter there.
    box.setWindowTitle(alert.messageText.isEmpty() ? QStringLiteral("Quorvale")
                                                   : alert.messageText);
    box.setText(alert.messageText);
    box.setInformativeText(alert.informativeText);
    QList<QAbstractButton*> buttons;
    for (int i = 0; i < alert.buttons.size(); ++i) {
        // The first button is the default; any later one named Cancel answers Escape.
        const bool isCancel = i > 0 && alert.buttons[i] == u"Cancel";
        buttons.append(box.addButton(alert.buttons[i], i == 0     ? QMessageBox::AcceptRole
                                                       : isCancel ? QMessageBox::RejectRole
                                                                  : QMessageBox::ActionRole));
    }
    if (!buttons.isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton*>(buttons.first()));
    }
    box.exec();
    const qsizetype index = buttons.indexOf(box.clickedButton());
    return kFirstButtonResponse + int(index < 0 ? buttons.size() : index);
}

} // namespace quorvale::platform
