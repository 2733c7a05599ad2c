#include "app/ClipboardImageReader.h"

#include "platform/Platform.h"

#include <QBuffer>
#include <QImageReader>
#include <QThreadPool>
#include <QUrl>
#include <cstdio>

namespace quorvale {
namespace {

const QString kPng = QStringLiteral("image/png");

bool isDecodableImageType(const QString& format) {
    static const QList<QByteArray> supported = QImageReader::supportedMimeTypes();
    return format.startsWith(QStringLiteral("image/")) && supported.contains(format.toLatin1());
}

QString firstLocalFile(const QByteArray& uriList) {
    for (const QByteArray& line : uriList.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith('#')) {
            continue;
        }
        // Only the first entry counts; a remote one is never fetched.
        const QUrl url = QUrl::fromEncoded(trimmed);
        return url.isLocalFile() ? url.toLocalFile() : QString();
    }
    return {};
}

void printLine(const QString& line) {
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

} // namespace

ClipboardImageReader::Offer ClipboardImageReader::offer(const platform::Clipboard& clipboard) {
    Offer offer;
    const QString uriList = QStringLiteral("text/uri-list");
    const platform::Clipboard::Offered offered = clipboard.fetch([&](const QStringList& formats) {
        QStringList wanted;
        for (const QString& format : formats) {
            if (isDecodableImageType(format)) {
                offer.objectFormat = format;
                wanted.append(format);
                break;
            }
        }
        if (offer.objectFormat != kPng && formats.contains(kPng)) {
            wanted.append(kPng);
        }
        if (formats.contains(uriList)) {
            wanted.append(uriList);
        }
        return wanted;
    });
    offer.objectData = offered.data.value(offer.objectFormat);
    if (offer.objectFormat != kPng) {
        offer.pngData = offered.data.value(kPng);
    }
    offer.filePath = firstLocalFile(offered.data.value(uriList));
    offer.error = offered.error;
    return offer;
}

ImageLoader::LoadResult ClipboardImageReader::decodeData(const QByteArray& data) {
    if (data.isEmpty()) {
        return ImageLoader::LoadResult::failure(
            {ImageLoader::Error::Kind::empty, QStringLiteral("the image data is empty")});
    }
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return ImageLoader::decode(buffer);
}

ClipboardImageReader::Outcome ClipboardImageReader::decode(const Offer& offer) {
    Outcome outcome;
    outcome.failure = offer.error;
    outcome.unreadable = !offer.error.isEmpty();
    auto attempt = [&outcome](Reading reading, const ImageLoader::LoadResult& loaded) {
        if (loaded.isSuccess()) {
            outcome = {loaded.value(), reading, {}, false};
            return true;
        }
        outcome.failure = loaded.error().description;
        outcome.unreadable = false;
        return false;
    };
    if (!offer.objectFormat.isEmpty() &&
        attempt(Reading::imageObject, decodeData(offer.objectData))) {
        return outcome;
    }
    if (!offer.pngData.isEmpty() && attempt(Reading::pngData, decodeData(offer.pngData))) {
        return outcome;
    }
    if (!offer.filePath.isEmpty()) {
        attempt(Reading::fromPasteboard, ImageLoader::load(offer.filePath));
    }
    return outcome;
}

void ClipboardImageReader::read(std::shared_ptr<const platform::Clipboard> clipboard,
                                Completion completion) {
    // An owner that never answers, or a large image, must not stall the GUI thread.
    QThreadPool::globalInstance()->start(
        [clipboard = std::move(clipboard), completion = std::move(completion)] {
            Outcome outcome = decode(offer(*clipboard));
            platform::current().mainQueue->async([outcome, completion] {
                if (outcome.reading == Reading::imageObject) {
                    printLine(QStringLiteral("✅ 成功从剪贴板直接读取 NSImage 数据。"));
                    printLine(QStringLiteral("图片尺寸: (%1, %2)")
                                  .arg(double(outcome.image->width()), 0, 'f', 1)
                                  .arg(double(outcome.image->height()), 0, 'f', 1));
                } else if (outcome.reading == Reading::pngData) {
                    printLine(QStringLiteral("✅ 成功从剪贴板读取原始图片数据并创建 NSImage。"));
                }
                completion(outcome);
            });
        });
}

} // namespace quorvale
