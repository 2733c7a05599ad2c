#pragma once

#include "platform/LoginItemService.h"

#include <QString>

namespace quorvale::platform {

// Login start-up through an XDG autostart desktop entry.
class XdgAutostartLoginItem : public LoginItemService {
public:
    explicit XdgAutostartLoginItem(QString autostartFolder = defaultAutostartFolder(),
                                   QString execCommand = defaultExecCommand());

    // $XDG_CONFIG_HOME/autostart (~/.config/autostart when unset).
    static QString defaultAutostartFolder();
    // This executable, quoted for an Exec= line.
    static QString defaultExecCommand();
    // One argument quoted and escaped as the desktop entry format requires for Exec=.
    static QString quoteExecArgument(const QString& argument);

    QString entryPath() const;

    Status status() const override;
    std::optional<QString> registerItem() override;
    std::optional<QString> unregisterItem() override;

private:
    QString m_folder;
    QString m_execCommand;
};

} // namespace quorvale::platform
