#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace quorvale::platform {

// The general pasteboard (the X11 CLIPBOARD selection). GUI thread only, except fetch().
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void clearContents() = 0;
    virtual void setString(const QString& text) = 0;
    virtual std::optional<QString> string() const = 0;
    virtual std::optional<QImage> image() const = 0;

    struct Offered {
        QStringList formats; // the owner's MIME types, in its order
        QHash<QString, QByteArray> data;
        QString error; // why the owner's data did not come
    };
    // Asks the owner for its types, then for the bytes of those `pick` chooses. Waits for an
    // owner that may never answer, so it is called off the GUI thread; any thread will do.
    using Pick = std::function<QStringList(const QStringList& formats)>;
    virtual Offered fetch(const Pick& pick) const = 0;
};

} // namespace quorvale::platform
