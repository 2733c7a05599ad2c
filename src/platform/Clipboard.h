#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>

namespace quorvale::platform {

// The general pasteboard (the X11 CLIPBOARD selection). GUI thread only.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void clearContents() = 0;
    virtual void setString(const QString& text) = 0;
    virtual std::optional<QString> string() const = 0;
    virtual std::optional<QImage> image() const = 0;
    // The MIME types the owner offers, in its order, and the raw bytes of one of them;
    // empty when the owner does not answer in time.
    virtual QStringList formats() const = 0;
    virtual QByteArray data(const QString& mimeType) const = 0;
};

} // namespace quorvale::platform
