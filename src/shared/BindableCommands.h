#pragma once

#include <QStringList>

namespace quorvale {

// The command lines a desktop's own keyboard settings can bind, where the app cannot
// register global shortcuts itself.
inline QStringList bindableCommands() {
    return {QStringLiteral("quorvale capture"), QStringLiteral("quorvale capture --window"),
            QStringLiteral("quorvale file IMAGE"), QStringLiteral("quorvale clipboard")};
}

} // namespace quorvale
