#include "app/ImageLoader.h"
#include "support/ImageBytes.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorvale;
using Kind = ImageLoader::Error::Kind;
using test::encoded;

namespace {

class ImageLoaderTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QTemporaryDir dir;
};

TEST_F(ImageLoaderTest, ReadsEveryPanelFormat) {
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (const char* format : {"png", "jpg", "bmp", "tiff"}) {
        const auto result =
            ImageLoader::load(write(QStringLiteral("x.") + format, encoded(image, format)));
        ASSERT_TRUE(result.isSuccess())
            << format << ": " << result.error().description.toStdString();
        EXPECT_EQ(result.value().size(), QSize(30, 20));
    }
}

TEST_F(ImageLoaderTest, BadInputsGetAReasonTheUserCanActOn) {
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::gray);
    const QByteArray png = encoded(image, "png");
    const QByteArray jpeg = encoded(image, "jpg");
    QDir(dir.path()).mkdir("folder.png");
    // Reading a pipe or a device would block or never end.
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe.png")).constData(), 0600), 0);

    struct Case {
        QString path;
        Kind kind;
    };
    const Case cases[] = {
        {dir.filePath("missing.png"), Kind::notFound},
        {dir.filePath("folder.png"), Kind::isDirectory},
        {dir.filePath("pipe.png"), Kind::notRegularFile},
        {"/dev/zero", Kind::notRegularFile},
        {"/dev/urandom", Kind::notRegularFile},
        {write("empty.png", {}), Kind::empty},
        {write("text.png", "hello, I am text"), Kind::notAnImage},
        {write("truncated.png", png.left(png.size() / 2)), Kind::corrupt},
        {write("header-only.jpg", jpeg.left(200)), Kind::corrupt},
    };
    for (const Case& c : cases) {
        const auto result = ImageLoader::load(c.path);
        ASSERT_FALSE(result.isSuccess()) << c.path.toStdString();
        EXPECT_EQ(result.error().kind, c.kind) << c.path.toStdString();
        EXPECT_FALSE(result.error().description.isEmpty());
    }
}

TEST_F(ImageLoaderTest, RefusesHugeImagesBeforeDecodingThem) {
    const auto result = ImageLoader::load(write("huge.png", test::pngClaiming(30000, 30000)));
    ASSERT_FALSE(result.isSuccess());
    EXPECT_EQ(result.error().kind, Kind::tooLarge);
    EXPECT_TRUE(result.error().description.contains("30000×30000"))
        << result.error().description.toStdString();
}

TEST_F(ImageLoaderTest, UnreadableFileIsReportedAsSuch) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    const QString path = write("secret.png", encoded(QImage(4, 4, QImage::Format_RGB32), "png"));
    QFile::setPermissions(path, QFile::WriteOwner);
    const auto result = ImageLoader::load(path);
    ASSERT_FALSE(result.isSuccess());
    EXPECT_EQ(result.error().kind, Kind::notReadable);
}

} // namespace
