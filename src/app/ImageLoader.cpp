#include "app/ImageLoader.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <string_view>

namespace quorvale {
namespace {

ImageLoader::LoadResult fail(ImageLoader::Error::Kind kind, QString description) {
    return ImageLoader::LoadResult::failure({kind, std::move(description)});
}

QByteArray formatFromSignature(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray head = file.read(8);
    using namespace std::string_view_literals;
    struct Signature {
        std::string_view magic;
        const char* format;
    };
    static constexpr Signature kSignatures[] = {
        {"\x89PNG\r\n\x1a\n"sv, "png"},
        {"\xff\xd8\xff"sv, "jpeg"},
        {"BM"sv, "bmp"},
        {"II*\0"sv, "tiff"},
        {"MM\0*"sv, "tiff"},
    };
    for (const Signature& signature : kSignatures) {
        if (head.startsWith(QByteArrayView(signature.magic.data(), signature.magic.size()))) {
            return signature.format;
        }
    }
    return {};
}

} // namespace

ImageLoader::LoadResult ImageLoader::load(const QString& path) {
    using Kind = Error::Kind;
    const QFileInfo info(path);
    if (!info.exists()) {
        return fail(Kind::notFound, QStringLiteral("no such file"));
    }
    if (info.isDir()) {
        return fail(Kind::isDirectory, QStringLiteral("is a folder, not an image file"));
    }
    if (!info.isReadable()) {
        return fail(Kind::notReadable, QStringLiteral("permission denied"));
    }
    if (info.size() == 0) {
        return fail(Kind::empty, QStringLiteral("the file is empty"));
    }

    // Naming the format from the file's first bytes spares loading every image plugin to
    // ask each whether it can read the file.
    const QByteArray format = formatFromSignature(path);
    QImageReader reader(path, format);
    reader.setDecideFormatFromContent(format.isEmpty());
    reader.setAutoTransform(true);
    if (!reader.canRead()) {
        return fail(Kind::notAnImage, QStringLiteral("not an image in a supported format"));
    }
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPixels) {
        return fail(Kind::tooLarge,
                    QStringLiteral("the image is too large (%1×%2 pixels; the limit is %3 "
                                   "megapixels)")
                        .arg(size.width())
                        .arg(size.height())
                        .arg(kMaxPixels / 1'000'000));
    }
    // Headers can lie about the size; the decoder's own limit backs the check above.
    reader.setAllocationLimit(int(kMaxPixels * 8 / (1024 * 1024)));
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        return fail(Kind::corrupt, QStringLiteral("the image data is damaged or truncated (%1)")
                                       .arg(reader.errorString()));
    }
    if (qint64(image.width()) * image.height() > kMaxPixels) {
        return fail(Kind::tooLarge, QStringLiteral("the image is too large"));
    }
    return LoadResult::success(std::move(image));
}

} // namespace quorvale
