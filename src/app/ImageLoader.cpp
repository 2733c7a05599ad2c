#include "app/ImageLoader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvale {
namespace {

ImageLoader::LoadResult fail(ImageLoader::Error::Kind kind, QString description) {
    return ImageLoader::LoadResult::failure({kind, std::move(description)});
}

QByteArray formatFromSignature(QIODevice& device) {
    const QByteArray head = device.peek(8);
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
        return fail(Kind::notFound, QCoreApplication::translate("ImageLoader", "no such file"));
    }
    if (info.isDir()) {
        return fail(Kind::isDirectory,
                    QCoreApplication::translate("ImageLoader", "is a folder, not an image file"));
    }
    const QString notRegular = QCoreApplication::translate("ImageLoader", "not a regular file");
    // Pipes and devices read forever or block; their size says nothing.
    if (!info.isFile()) {
        return fail(Kind::notRegularFile, notRegular);
    }
    if (!info.isReadable()) {
        return fail(Kind::notReadable,
                    QCoreApplication::translate("ImageLoader", "permission denied"));
    }
    if (info.size() == 0) {
        return fail(Kind::empty, QCoreApplication::translate("ImageLoader", "the file is empty"));
    }
    // The path may have been replaced since: opening without blocking and checking what was
    // opened keeps a pipe put there now from hanging the reader.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return fail(errno == ENOENT ? Kind::notFound : Kind::notReadable,
                    QString::fromLocal8Bit(std::strerror(errno)));
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return fail(Kind::notRegularFile, notRegular);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(Kind::notReadable, file.errorString());
    }

    // Naming the format from the file's first bytes spares loading every image plugin to
    // ask each whether it can read the file.
    return decode(file, formatFromSignature(file));
}

ImageLoader::LoadResult ImageLoader::decode(QIODevice& device, const QByteArray& format) {
    using Kind = Error::Kind;
    QImageReader reader(&device, format);
    reader.setAutoTransform(true);
    if (!reader.canRead()) {
        return fail(Kind::notAnImage, QCoreApplication::translate(
                                          "ImageLoader", "not an image in a supported format"));
    }
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPixels) {
        return fail(Kind::tooLarge,
                    QCoreApplication::translate(
                        "ImageLoader", "the image is too large (%1×%2 pixels; the limit is %3 "
                                       "megapixels)")
                        .arg(size.width())
                        .arg(size.height())
                        .arg(kMaxPixels / 1'000'000));
    }
    // Headers can lie about the size; the decoder's own limit backs the check above.
    reader.setAllocationLimit(int(kMaxPixels * 8 / (1024 * 1024)));
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        return fail(Kind::corrupt, QCoreApplication::translate(
                                       "ImageLoader", "the image data is damaged or truncated (%1)")
                                       .arg(reader.errorString()));
    }
    if (qint64(image.width()) * image.height() > kMaxPixels) {
        return fail(Kind::tooLarge,
                    QCoreApplication::translate("ImageLoader", "the image is too large"));
    }
    return LoadResult::success(std::move(image));
}

} // namespace quorvale
