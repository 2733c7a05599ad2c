#pragma once

#include "common/Result.h"

#include <QIODevice>
#include <QImage>
#include <QString>

namespace quorvale {

// Reads an image file with the reasons a user can act on when it cannot be read.
class ImageLoader {
public:
    // Large enough for a screenshot of several 8K monitors; beyond it recognition would
    // take minutes and gigabytes, so such images are refused.
    static constexpr qint64 kMaxPixels = 100'000'000;

    struct Error {
        enum class Kind {
            notFound,
            isDirectory,
            notRegularFile,
            notReadable,
            empty,
            notAnImage,
            tooLarge,
            corrupt
        };
        Kind kind;
        QString description;
    };
    using LoadResult = Result<QImage, Error>;

    static LoadResult load(const QString& path);
    // The same checks for image data already open, e.g. from the clipboard; an empty format
    // lets the plugins guess.
    static LoadResult decode(QIODevice& device, const QByteArray& format = {});
};

} // namespace quorvale
