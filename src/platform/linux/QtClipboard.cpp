#include "platform/linux/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QThread>

namespace quorvale::platform {
namespace {

// Qt's Wayland clipboard never frees what it is given: a copy of its own keeps the text the
// rest of the app made apart from it, for leak checks (scripts/lsan.supp) to tell them apart.
void offerClipboardText(const QString& text) {
    QGuiApplication::clipboard()->setText(QString(text.constData(), text.size()),
                                          QClipboard::Clipboard);
}

} // namespace

void QtClipboard::clearContents() {
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

void QtClipboard::setString(const QString& text) {
    offerClipboardText(text);
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

Clipboard::Offered QtClipboard::fetch(const Pick& pick) const {
    Offered offered;
    const auto read = [&] {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
        if (!data) {
            return;
        }
        offered.formats = data->formats();
        for (const QString& format : pick(offered.formats)) {
            offered.data.insert(format, data->data(format));
        }
    };
    if (QThread::currentThread() == qApp->thread()) {
        read();
    } else {
        QMetaObject::invokeMethod(qApp, read, Qt::BlockingQueuedConnection);
    }
    return offered;
}

} // namespace quorvale::platform
