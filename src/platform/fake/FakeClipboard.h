#pragma once

#include "platform/Clipboard.h"

#include <QStringList>

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

    QStringList operations;

private:
    std::optional<QString> m_text;
    std::optional<QImage> m_image;
};

} // namespace quorvale::platform
