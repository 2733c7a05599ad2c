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
    Offered fetch(const Pick& pick) const override {
        Offered result;
        result.error = fetchError;
        for (const auto& [format, bytes] : offered) {
            result.formats.append(format);
        }
        for (const QString& format : pick(result.formats)) {
            for (const auto& [offeredFormat, bytes] : offered) {
                if (offeredFormat == format) {
                    result.data.insert(format, bytes);
                }
            }
        }
        return result;
    }

    // What the owner offers, in its order, and why it failed to hand it over.
    std::vector<std::pair<QString, QByteArray>> offered;
    QString fetchError;

    QStringList operations;

private:
    std::optional<QString> m_text;
    std::optional<QImage> m_image;
};

} // namespace quorvale::platform
