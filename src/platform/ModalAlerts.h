#pragma once

#include <QString>
#include <QStringList>

namespace quorvale::platform {

struct AlertRequest {
    enum class Style { warning = 0, informational = 1, critical = 2 };
    Style style = Style::warning;
    QString messageText;
    QString informativeText;
    QStringList buttons; // in the order they were added
};

class ModalAlerts {
public:
    // Response of the first button; the second is one more, and so on.
    static constexpr int kFirstButtonResponse = 1000;

    virtual ~ModalAlerts() = default;
    virtual bool hasModalWindow() const = 0;
    // Blocks in a nested event loop until the user answers.
    virtual int runModal(const AlertRequest& alert) = 0;
};

} // namespace quorvale::platform
