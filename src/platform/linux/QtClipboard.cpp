#include "platform/linux/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace quorvale::platform {

void QtClipboard::clearContents() {
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

void QtClipboard::setString(const QString& text) {
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

std::optional<QString> QtClipboard::string() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasText()) {
        return std::nullopt;
    }
    return data->text();
}

std::optional<QImage> QtClipboard::image() const {
    const QImage image = QGuiApplication::clipboard()->image(QClipboard::Clipboard);
    if (image.isNull()) {
        return std::nullopt;
    }
    return image;
}

QStringList QtClipboard::formats() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data ? data->formats() : QStringList();
}

QByteArray QtClipboard::data(const QString& mimeType) const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data ? data->data(mimeType) : QByteArray();
}

} // namespace quorvale::platform
