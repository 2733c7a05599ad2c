#pragma once

#include "platform/Clipboard.h"

namespace quorvale::platform {

// The CLIPBOARD selection. X11 keeps the content in its owner, so it lasts while the app runs.
class QtClipboard : public Clipboard {
public:
    void clearContents() override;
    void setString(const QString& text) override;
    std::optional<QString> string() const override;
    std::optional<QImage> image() const override;
    // Through Qt's clipboard on the GUI thread, which waits there for the owner: for
    // platforms without an X connection of their own.
    Offered fetch(const Pick& pick) const override;
};

} // namespace quorvale::platform
