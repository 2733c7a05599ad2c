#include "app/ClipboardImageReader.h"
#include "platform/fake/FakePlatform.h"
#include "support/ImageBytes.h"
#include "support/Wait.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quorvale;
using Reading = ClipboardImageReader::Reading;
using test::encoded;
using test::pngClaiming;

namespace {

QImage filled(int width, int height, Qt::GlobalColor color) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

TEST(ClipboardImageReaderTest, ReadingsAreTriedInOrderAndTheFirstImageWins) {
    platform::FakePlatform fakes;
    QTemporaryDir folder;
    const QString file = folder.filePath("copied.png");
    ASSERT_TRUE(filled(30, 20, Qt::green).save(file));
    const QByteArray bmp = encoded(filled(40, 10, Qt::red), "bmp");
    const QByteArray png = encoded(filled(12, 34, Qt::blue), "png");
    const QByteArray uris = QUrl::fromLocalFile(file).toEncoded() + "\r\n";
    using Offered = std::vector<std::pair<QString, QByteArray>>;

    const struct {
        const char* name;
        Offered offered;
        Reading reading;
        QSize size;
        bool failureGiven;
        const char* fetchError = "";
    } cases[] = {
        {"image object in the owner's first image type",
         {{"text/plain", "x"}, {"image/bmp", bmp}, {"image/png", png}},
         Reading::imageObject,
         {40, 10},
         false},
        {"PNG data when the first type is damaged",
         {{"image/jpeg", "garbage"}, {"image/png", png}},
         Reading::pngData,
         {12, 34},
         false},
        {"a copied image file",
         {{"text/uri-list", uris}},
         Reading::fromPasteboard,
         {30, 20},
         false},
        {"text only", {{"text/plain", "hello"}}, Reading::none, {}, false},
        {"a web address is never fetched",
         {{"text/uri-list", "https://example.org/a.png\r\n"}},
         Reading::none,
         {},
         false},
        {"20000×20000 is refused before decoding",
         {{"image/png", pngClaiming(20000, 20000)}},
         Reading::none,
         {},
         true},
        {"an owner that died mid-read gives nothing", {{"image/png", {}}}, Reading::none, {}, true},
        {"an owner that never answers is named", {}, Reading::none, {}, true, "no answer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fakes.clipboard->offered = c.offered;
        fakes.clipboard->fetchError = c.fetchError;
        const auto outcome =
            ClipboardImageReader::decode(ClipboardImageReader::offer(*fakes.clipboard));
        EXPECT_EQ(outcome.reading, c.reading);
        EXPECT_EQ(outcome.image ? outcome.image->size() : QSize(), c.size);
        EXPECT_EQ(!outcome.failure.isEmpty(), c.failureGiven) << outcome.failure.toStdString();
    }
    EXPECT_TRUE(ClipboardImageReader::decodeData(pngClaiming(20000, 20000))
                    .error()
                    .description.contains("too large"));
}

TEST(ClipboardImageReaderTest, DecodesOffTheGuiThreadAndAnswersOnIt) {
    platform::FakePlatform fakes;
    fakes.clipboard->offered = {{"image/png", encoded(filled(5, 6, Qt::black), "png")}};
    std::optional<ClipboardImageReader::Outcome> outcome;
    ClipboardImageReader::read(fakes.clipboard, [&](const auto& o) { outcome = o; });
    EXPECT_FALSE(outcome) << "answered only through the GUI queue";
    ASSERT_TRUE(test::waitUntil([&] {
        fakes.mainQueue->runPending();
        return outcome.has_value();
    }));
    EXPECT_EQ(outcome->reading, Reading::imageObject);
}

} // namespace
