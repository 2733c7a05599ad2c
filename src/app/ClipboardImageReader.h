#pragma once

#include "app/ImageLoader.h"
#include "platform/Clipboard.h"

#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace quorvale {

// Finds the image on the clipboard. Three readings are tried in order: the image in the
// first image type the owner offers, its PNG data, and a local image file it names.
class ClipboardImageReader {
public:
    enum class Reading { none, imageObject, pngData, fromPasteboard };

    // The clipboard's bytes, fetched and decoded off the GUI thread.
    struct Offer {
        QString objectFormat;
        QByteArray objectData;
        QByteArray pngData;
        QString filePath;
        QString error; // why the owner's data did not come
    };

    struct Outcome {
        std::optional<QImage> image;
        Reading reading = Reading::none;
        // Why image data that was there could not be used; empty when there was none.
        QString failure;
        // The owner did not hand its data over (no answer in time, gone mid-read).
        bool unreadable = false;
    };
    using Completion = std::function<void(const Outcome&)>;

    // Calls back on the GUI thread.
    static void read(std::shared_ptr<const platform::Clipboard> clipboard, Completion completion);

    static Offer offer(const platform::Clipboard& clipboard);
    static Outcome decode(const Offer& offer);
    // With the same size limit as image files.
    static ImageLoader::LoadResult decodeData(const QByteArray& data);
};

} // namespace quorvale
