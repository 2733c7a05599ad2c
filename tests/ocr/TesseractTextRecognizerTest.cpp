#include "platform/linux/TesseractTextRecognizer.h"
#include "recognition/ScreenTextPipeline.h"
#include "support/ScopedEnv.h"
#include "support/TextImageRenderer.h"

#include <QFile>
#include <QFontInfo>
#include <QPainter>
#include <QtConcurrent/QtConcurrent>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace quorvale::platform {
namespace {

using test::renderTextImage;

const QString kSans = QStringLiteral("DejaVu Sans");
const QString kMono = QStringLiteral("DejaVu Sans Mono");
const QString kTessdata = QStringLiteral("/usr/share/tesseract-ocr/5/tessdata");

TextRecognitionRequest request(const QStringList& languages = {"en-US"}, bool correction = true) {
    TextRecognitionRequest result;
    result.usesLanguageCorrection = correction;
    result.recognitionLanguages = languages;
    result.automaticallyDetectsLanguage = true;
    return result;
}

using RecognitionOutcome = ScreenTextPipeline::Outcome;

// The engine as the product drives it.
RecognitionOutcome perform(TextRecognizer& engine, const TextRecognitionRequest& request,
                           const QImage& image) {
    return ScreenTextPipeline::read(engine, request, image);
}

QStringList texts(const RecognitionOutcome& outcome) {
    QStringList lines;
    for (const auto& line : outcome.value()) {
        lines << line.text;
    }
    return lines;
}

bool installed(const QString& traineddata) {
    return QFile::exists(kTessdata + '/' + traineddata + ".traineddata");
}

class TesseractTextRecognizerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!installed("eng")) {
            GTEST_SKIP() << "tesseract-ocr-eng is not installed";
        }
        // A fallback font would make every expectation below meaningless.
        ASSERT_EQ(QFontInfo(QFont(kSans)).family(), kSans);
        ASSERT_EQ(QFontInfo(QFont(kMono)).family(), kMono);
    }

    std::vector<QString> notices;
    TesseractTextRecognizer recognizer{[this](QString text) { notices.push_back(text); }};
};

struct Rendering {
    QString family;
    int pixelSize;
    bool dark;
    qreal scale;
};

class ScreenSentences : public TesseractTextRecognizerTest,
                        public ::testing::WithParamInterface<Rendering> {};

TEST_P(ScreenSentences, AreReadExactlyOneObservationPerLine) {
    const Rendering r = GetParam();
    const QStringList lines = {"The quick brown fox jumps over the lazy dog.",
                               "Open the file, then press Save to keep it.",
                               "Version 2.4 was released on 12 May 2023."};
    const QImage image = renderTextImage(lines, r.family, r.pixelSize, r.dark, r.scale);

    const RecognitionOutcome outcome = perform(recognizer, request(), image);

    ASSERT_TRUE(outcome.isSuccess()) << outcome.error().localizedDescription.toStdString();
    EXPECT_EQ(texts(outcome), lines);
    // Boxes are in the input's pixels, top to bottom.
    const QRectF bounds = QRectF(image.rect()).adjusted(-2, -2, 2, 2);
    qreal previousTop = -1;
    for (const auto& observation : outcome.value()) {
        EXPECT_TRUE(bounds.contains(observation.box));
        EXPECT_GT(observation.box.top(), previousTop);
        EXPECT_GT(observation.box.height(), r.pixelSize * r.scale * 0.4);
        previousTop = observation.box.top();
    }
}

INSTANTIATE_TEST_SUITE_P(
    FontsSizesThemesScales, ScreenSentences,
    ::testing::Values(Rendering{kSans, 11, false, 1.0}, Rendering{kSans, 12, true, 1.0},
                      Rendering{kSans, 13, false, 1.0}, Rendering{kSans, 13, true, 1.0},
                      Rendering{kSans, 16, true, 1.0}, Rendering{kMono, 13, false, 1.0},
                      Rendering{kMono, 14, true, 1.0}, Rendering{kMono, 16, false, 1.0},
                      Rendering{kSans, 13, false, 2.0}, Rendering{kSans, 11, true, 2.0},
                      Rendering{kMono, 13, true, 2.0}));

TEST_P(ScreenSentences, CodeKeepsUnderscoresAndAlignedSpaces) {
    const Rendering r = GetParam();
    if (r.family != kMono) {
        GTEST_SKIP() << "code is shown in a monospaced font";
    }
    const QStringList lines = {"extern int __fd_max (off64_t __len);",
                               "#    define z_crc32_combine z_crc32_combine64",
                               "size_t copy_len;  /* in bytes */"};
    const QImage image = renderTextImage(lines, r.family, r.pixelSize, r.dark, r.scale);

    const RecognitionOutcome outcome = perform(recognizer, request(), image);

    ASSERT_TRUE(outcome.isSuccess()) << outcome.error().localizedDescription.toStdString();
    EXPECT_EQ(texts(outcome), lines);
}

TEST_F(TesseractTextRecognizerTest, RequestVariantsReadTheirLanguages) {
    struct Case {
        QStringList languages;
        bool correction;
        QString sentence;
    };
    const std::vector<Case> cases = {
        {{"de-DE", "en-US"}, true, "Größere Äpfel über Öfen: Straße für Übungen."},
        {{"fr-FR", "en-US"}, true, "Élève très sérieux à côté du garçon, où es-tu?"},
        {{"en-US", "en-US"}, true, "Please check the settings before you continue."},
        {{}, true, "No list means the engine's default language."},
        {{"en-US"}, false, "Export 42 files to the archive"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sentence.toStdString());
        const RecognitionOutcome outcome = perform(recognizer, request(c.languages, c.correction),
                                                   renderTextImage({c.sentence}, kSans, 16, false));
        ASSERT_TRUE(outcome.isSuccess()) << outcome.error().localizedDescription.toStdString();
        EXPECT_EQ(texts(outcome), QStringList{c.sentence});
    }
    EXPECT_TRUE(notices.empty());
}

TEST_F(TesseractTextRecognizerTest, APageReadOnTwoCoresComesOutAsFromOne) {
    const QStringList lines = {"The quick brown fox jumps over the lazy dog near the river bank.",
                               "Pack my box with five dozen liquor jugs before the guests arrive.",
                               "int read_config(const char *path, struct config *out_config);",
                               "How vexingly quick daft zebras jump when the music starts playing.",
                               "Sphinx of black quartz, judge my vow and keep the ledger honest.",
                               "Version 2.4.1 fixes 17 bugs; see CHANGELOG_2024.md for details."};
    const QImage image = renderTextImage(lines, kMono, 14, false);
    TesseractTextRecognizer twoCores({}, true);
    const RecognitionOutcome outcome = perform(twoCores, request(), image);
    ASSERT_TRUE(outcome.isSuccess());
    EXPECT_EQ(texts(outcome), texts(perform(recognizer, request(), image)));
    // Boxes of the lower half are placed on the page, not on the half.
    qreal previousTop = -1;
    for (const auto& observation : outcome.value()) {
        EXPECT_GT(observation.box.top(), previousTop);
        EXPECT_LE(observation.box.bottom(), image.height());
        previousTop = observation.box.top();
    }
}

// A selected row, a title bar: one line in the other polarity than the page around it.
TEST_F(TesseractTextRecognizerTest, LinesOnBarsOfTheOtherPolarityAreRead) {
    const QStringList lines = {"Quarterly report for the northern office",
                               "Selected: Invoice 2041 overdue by 12 days",
                               "Shipping address verified on 3 March"};
    for (const bool darkPage : {false, true}) {
        SCOPED_TRACE(darkPage ? "dark page" : "light page");
        QImage rows[3];
        QSize size;
        for (int i = 0; i < 3; ++i) {
            rows[i] = renderTextImage({lines[i]}, kSans, 13, darkPage != (i == 1));
            size = QSize(std::max(size.width(), rows[i].width()), size.height() + rows[i].height());
        }
        QImage page(size, QImage::Format_RGB32);
        page.fill(rows[0].pixel(0, 0));
        QPainter painter(&page);
        for (int i = 0, y = 0; i < 3; y += rows[i].height(), ++i) {
            painter.drawImage(0, y, rows[i]);
        }
        painter.end();
        const RecognitionOutcome outcome = perform(recognizer, request(), page);
        ASSERT_TRUE(outcome.isSuccess());
        EXPECT_EQ(texts(outcome), lines);
    }
}

TEST_F(TesseractTextRecognizerTest, MissingLanguagesAreDroppedNoticedOnceOrNamedInTheError) {
    if (installed("ita") || installed("nld")) {
        GTEST_SKIP() << "needs a machine without tesseract-ocr-ita and -nld";
    }
    const QString sentence = "Nothing else is needed here.";
    const QImage image = renderTextImage({sentence}, kSans, 15, false);
    for (int call = 0; call < 2; ++call) {
        const RecognitionOutcome outcome = perform(recognizer, request({"it-IT", "en-US"}), image);
        ASSERT_TRUE(outcome.isSuccess());
        EXPECT_EQ(texts(outcome), QStringList{sentence});
    }
    EXPECT_EQ(notices, std::vector<QString>{"No recognition data for Italian (Italy): install "
                                            "the package tesseract-ocr-ita"});

    const RecognitionOutcome none = perform(recognizer, request({"it-IT", "nl-NL", "it"}), image);
    ASSERT_FALSE(none.isSuccess());
    EXPECT_EQ(none.error().localizedDescription,
              "No recognition data for Italian (Italy), Dutch (Netherlands): install the "
              "packages tesseract-ocr-ita, tesseract-ocr-nld");
}

TEST_F(TesseractTextRecognizerTest, ImagesWithoutTextGiveNoObservations) {
    QImage light(400, 120, QImage::Format_RGB32);
    light.fill(QColor(0xfa, 0xfa, 0xfa));
    QImage dark(400, 120, QImage::Format_RGB32);
    dark.fill(QColor(0x1e, 0x1e, 0x1e));
    QImage transparent(200, 80, QImage::Format_ARGB32);
    transparent.fill(Qt::transparent);
    for (const QImage& image : {light, dark, transparent, QImage()}) {
        const RecognitionOutcome outcome = perform(recognizer, request(), image);
        ASSERT_TRUE(outcome.isSuccess());
        EXPECT_TRUE(outcome.value().empty()) << texts(outcome).join("|").toStdString();
    }
}

TEST_F(TesseractTextRecognizerTest, DegenerateSizesDoNotCrash) {
    for (const QSize size : {QSize(1, 1), QSize(2, 3), QSize(1, 20000), QSize(20000, 1)}) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        const RecognitionOutcome outcome = perform(recognizer, request(), image);
        ASSERT_TRUE(outcome.isSuccess()) << outcome.error().localizedDescription.toStdString();
        EXPECT_TRUE(outcome.value().empty());
    }
    QImage tooTall(3, 40000, QImage::Format_RGB32);
    tooTall.fill(Qt::white);
    const RecognitionOutcome outcome = perform(recognizer, request(), tooTall);
    ASSERT_FALSE(outcome.isSuccess());
    EXPECT_TRUE(outcome.error().localizedDescription.contains("32767"));
}

TEST_F(TesseractTextRecognizerTest, TessdataPrefixIsHonouredAndABrokenOneExplained) {
    // The folder itself and, as older setups have it, its parent.
    for (const QByteArray& value : {kTessdata.toUtf8(), QByteArray("/usr/share/tesseract-ocr/5")}) {
        const test::ScopedEnv prefix("TESSDATA_PREFIX", value);
        EXPECT_EQ(TesseractTextRecognizer::tessdataDirectory().value(), kTessdata);
    }

    const test::ScopedEnv prefix("TESSDATA_PREFIX", "/nonexistent/tessdata");
    const RecognitionOutcome outcome =
        perform(recognizer, request(), renderTextImage({"Hello"}, kSans, 15, false));
    ASSERT_FALSE(outcome.isSuccess());
    EXPECT_TRUE(outcome.error().localizedDescription.startsWith(
        "TESSDATA_PREFIX is set to /nonexistent/tessdata"));
    EXPECT_FALSE(recognizer.supportedRecognitionLanguages().has_value());
}

TEST_F(TesseractTextRecognizerTest, SupportedLanguagesAreTheInstalledOnesEnglishFirst) {
    const auto languages = recognizer.supportedRecognitionLanguages();
    ASSERT_TRUE(languages.has_value());
    ASSERT_FALSE(languages->isEmpty());
    EXPECT_EQ(languages->first(), "en-US");
    for (const auto& [code, traineddata] :
         {std::pair{"de-DE", "deu"}, {"fr-FR", "fra"}, {"es-ES", "spa"}, {"it-IT", "ita"}}) {
        EXPECT_EQ(languages->contains(code), installed(traineddata)) << code;
    }
    QStringList rest = languages->mid(1);
    rest.sort();
    EXPECT_EQ(rest, languages->mid(1));
    EXPECT_FALSE(languages->contains("osd"));
}

TEST_F(TesseractTextRecognizerTest, ConcurrentCallsShareTheWarmedUpEngineOrGetTheirOwn) {
    const QStringList first = {"First image speaks of apples"};
    const QStringList second = {"Second image speaks of pears"};
    const QImage a = renderTextImage(first, kSans, 15, false);
    const QImage b = renderTextImage(second, kMono, 14, true);
    {
        // Destroyed while its engine is still loading.
        TesseractTextRecognizer abandoned;
        abandoned.warmUp(request());
    }
    // Missing languages are told about by the recognition that needs them, not before.
    recognizer.warmUp(request({"it-IT", "en-US"}));
    recognizer.warmUp(request({"it-IT", "en-US"}));
    EXPECT_TRUE(notices.empty());
    QList<QFuture<QStringList>> futures;
    for (int i = 0; i < 6; ++i) {
        futures << QtConcurrent::run([this, image = i % 2 ? b : a] {
            return texts(perform(recognizer, request({"it-IT", "en-US"}), image));
        });
    }
    for (int i = 0; i < futures.size(); ++i) {
        EXPECT_EQ(futures[i].result(), i % 2 ? second : first);
    }
    EXPECT_EQ(notices.size(), installed("ita") ? 0u : 1u);
}

// Otherwise Debian's engine starts OpenMP teams for every line: ~5x slower on screen
// sized images, and the environment variable that limits them is read too early to set.
TEST_F(TesseractTextRecognizerTest, RecognisingThreadRunsWithoutOpenMpTeams) {
    using GetLevels = int (*)();
    const auto getLevels =
        reinterpret_cast<GetLevels>(dlsym(RTLD_DEFAULT, "omp_get_max_active_levels"));
    if (!getLevels) {
        GTEST_SKIP() << "the engine is built without OpenMP";
    }
    const int levels = QtConcurrent::run([this, getLevels] {
                           perform(recognizer, request(), renderTextImage({"x"}, kSans, 15, false));
                           return getLevels();
                       }).result();
    EXPECT_EQ(levels, 0);
}

} // namespace
} // namespace quorvale::platform
