#pragma once

#include "platform/Clipboard.h"

#include <QStringList>
#include <utility>
#include <vector>

namespace quorvale::platform {

class FakeClipboard : public Clipboard {
public:
    void clearContents() override {
        operations.append("clear");
        m_text.reset();
        m_image.reset();
    }
    void setString(const QString& text) override {
        operations.append("setString");
        m_text = text;
    }
    std::optional<QString> string() const override { return m_text; }
    std::optional<QImage> image() const override { return m_image; }
    void setImage(const QImage& image) { m_image = image; }
    QStringList formats() const override {
        QStringList names;
        for (const auto& [format, bytes] : offered) {
            names.append(format);
        }
        return names;
    }
    QByteArray data(const QString& mimeType) const override {
        for (const auto& [format, bytes] : offered) {
            if (format == mimeType) {
                return bytes;
            }
        }
        return {};
    }

    // What the owner offers, in its order.
    std::vector<std::pair<QString, QByteArray>> offered;

    QStringList operations;

private:
    std::optional<QString> m_text;
    std::optional<QImage> m_image;
};

} // namespace quorvale::platform
