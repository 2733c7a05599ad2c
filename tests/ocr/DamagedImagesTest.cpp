#include "support/ImageBytes.h"
#include "support/TextImageRenderer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

using namespace quorvale;

namespace {

// Damage of the kinds real files suffer: flipped bits, overwritten runs, cuts, repeats.
QByteArray mutate(QByteArray bytes, std::mt19937& random) {
    auto pick = [&](qsizetype below) {
        return std::uniform_int_distribution<qsizetype>(0,
                                                        std::max<qsizetype>(0, below - 1))(random);
    };
    const int edits = 1 + int(pick(6));
    for (int i = 0; i < edits && !bytes.isEmpty(); ++i) {
        switch (pick(5)) {
        case 0:
            bytes[pick(bytes.size())] ^= char(1 << pick(8));
            break;
        case 1: { // header fields are where decoders trust sizes
            const qsizetype at = pick(std::min<qsizetype>(bytes.size(), 64));
            bytes[at] = char(pick(2) ? 0xff : 0x00);
            break;
        }
        case 2:
            bytes.truncate(pick(bytes.size()));
            break;
        case 3: {
            const qsizetype at = pick(bytes.size());
            bytes.insert(at, bytes.mid(at, pick(256)));
            break;
        }
        default: {
            const qsizetype at = pick(bytes.size());
            for (qsizetype j = at; j < std::min(bytes.size(), at + 16); ++j) {
                bytes[j] = char(pick(256));
            }
        }
        }
    }
    return bytes;
}

class DamagedImages : public ::testing::Test {
protected:
    void SetUp() override {
        const QImage seed =
            test::renderTextImage({"Damaged file", "second line 0123"}, "DejaVu Sans", 13, false);
        std::mt19937 random(20261206);
        int index = 0;
        for (const char* format : {"png", "jpg", "bmp", "tiff"}) {
            const QByteArray original = test::encoded(seed, format);
            for (int i = 0; i < 75; ++i) {
                QFile file(dir.filePath(
                    QStringLiteral("m%1.%2").arg(index++, 3, 10, QChar('0')).arg(format)));
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write(mutate(original, random));
                files.append(file.fileName());
            }
        }
    }
    QTemporaryDir dir;
    QStringList files;
};

// The command runs the loader and the whole recognition on each file.
TEST_F(DamagedImages, OcrCommandFailsCleanlyOnEveryFile) {
    int refused = 0;
    for (qsizetype start = 0; start < files.size(); start += 60) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        process.setProcessEnvironment(env);
        process.start(QUORVALE_BINARY, QStringList{"ocr", "--lang", "eng"} + files.mid(start, 60));
        ASSERT_TRUE(process.waitForFinished(300000)) << "hung on a batch from " << start;
        ASSERT_EQ(process.exitStatus(), QProcess::NormalExit)
            << "crashed on a batch from " << start;
        EXPECT_TRUE(process.exitCode() == 0 || process.exitCode() == 1);
        const QStringList errors =
            QString::fromUtf8(process.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
        for (const QString& line : errors) {
            EXPECT_TRUE(line.startsWith("quorvale: " + dir.path())) << line.toStdString();
        }
        refused += int(errors.size());
    }
    // Some damage leaves a readable picture; both paths must have been exercised.
    EXPECT_GT(refused, 0);
    EXPECT_LT(refused, files.size() - 10);
}

} // namespace
