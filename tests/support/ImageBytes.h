#pragma once

#include <QBuffer>
#include <QImage>
#include <QtEndian>

namespace quorvale::test {

inline QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

inline quint32 crc32(const QByteArray& data) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : data) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

// A small, well-formed PNG whose header claims the given size, as a hostile source might offer.
inline QByteArray pngClaiming(quint32 width, quint32 height) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    QByteArray png = encoded(image, "png");
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    qToBigEndian(crc32(png.mid(12, 17)), png.data() + 29);
    return png;
}

} // namespace quorvale::test
