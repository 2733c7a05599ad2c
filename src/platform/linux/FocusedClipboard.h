#pragma once

#include "platform/linux/QtClipboard.h"

#include <QObject>
#include <QPointer>
#include <optional>

class QWidget;

namespace quorvale::platform {

// The Wayland clipboard: a compositor may take the selection only from a client whose window
// has the keyboard focus. When none of ours has it, a tiny window of ours takes the focus just
// long enough to set it; what is set then stays while the app runs.
class FocusedClipboard : public QObject, public QtClipboard {
public:
    FocusedClipboard();
    ~FocusedClipboard() override;

    void clearContents() override;
    void setString(const QString& text) override;
    std::optional<QString> string() const override;

private:
    void applyWhenFocused();
    void apply();

    std::optional<QString> m_pending; // empty string: clear
    QPointer<QWidget> m_helper;
    QMetaObject::Connection m_focusWatch;
};

} // namespace quorvale::platform
