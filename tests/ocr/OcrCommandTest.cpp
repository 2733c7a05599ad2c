#include "support/TextImageRenderer.h"

#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

struct CommandRun {
    QProcess::ExitStatus status;
    int exitCode;
    QString out;
    QString err;
};

class OcrCommand : public ::testing::Test {
protected:
    CommandRun quorvale(const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        env.remove("DISPLAY");
        process.setProcessEnvironment(env);
        process.start(QUORVALE_BINARY, arguments);
        EXPECT_TRUE(process.waitForFinished(120000));
        return {process.exitStatus(), process.exitCode(),
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    QString image(const QString& name, const QStringList& lines, bool dark = false) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(test::renderTextImage(lines, "DejaVu Sans", 15, dark).save(path));
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(OcrCommand, PrintsEachImageSeparatedByABlankLine) {
    const CommandRun run =
        quorvale({"ocr", image("a.png", {"The quick brown fox", "jumps over the lazy dog"}),
                  image("b.png", {"Pack my box with jugs"}, true)});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "The quick brown fox\njumps over the lazy dog\n\nPack my box with jugs\n");
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
}

TEST_F(OcrCommand, AcceptsBothLanguageListForms) {
    const QString german = image("de.png", {"Größere Übungen für Bäcker"});
    for (const QString& list : {QStringLiteral("deu+eng"), QStringLiteral("de-DE,en-US")}) {
        const CommandRun run = quorvale({"ocr", "--lang", list, german});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, QString::fromUtf8("Größere Übungen für Bäcker\n")) << list.toStdString();
    }
}

TEST_F(OcrCommand, BadInputGivesOneLineNamingTheFileAndAFailingExit) {
    QFile text(dir.filePath("notes.png"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("hello");
    text.close();
    const QString good = image("ok.png", {"Still recognised"});

    const CommandRun run = quorvale({"ocr", text.fileName(), dir.filePath("missing.png"), good});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "Still recognised\n") << "later images are still read";
    const QStringList lines = run.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << run.err.toStdString();
    EXPECT_TRUE(lines[0].startsWith("quorvale: " + text.fileName() + ": "));
    EXPECT_TRUE(lines[1].startsWith("quorvale: " + dir.filePath("missing.png") + ": "));
}

TEST_F(OcrCommand, EveryImageFormatHereIsReadOrRefusedWithAReason) {
    // Vector text needs fonts to be drawn at all.
    QFile svg(dir.filePath("text.svg"));
    ASSERT_TRUE(svg.open(QIODevice::WriteOnly));
    svg.write(R"(<svg xmlns="http://www.w3.org/2000/svg" width="640" height="80">)"
              R"(<rect width="640" height="80" fill="white"/><text x="10" y="50" )"
              R"(font-family="DejaVu Sans" font-size="32">Violet garden seven</text></svg>)");
    svg.close();
    QStringList files{svg.fileName()};
    QProcess gzip;
    gzip.setStandardOutputFile(dir.filePath("text.svgz"));
    gzip.start("gzip", {"-c", svg.fileName()});
    if (gzip.waitForFinished() && gzip.exitCode() == 0) {
        files << dir.filePath("text.svgz");
    }
    const QImage page = test::renderTextImage({"Violet garden seven"}, "DejaVu Sans", 20, false);
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        const QString path = dir.filePath("page." + QString::fromLatin1(format));
        if (!format.startsWith("svg") && page.save(path, format.constData())) {
            files << path;
        }
    }
    ASSERT_GT(files.size(), 8);

    const CommandRun run = quorvale(QStringList{"ocr", "--lang", "eng"} + files);
    const QString& err = run.err;
    const QString& out = run.out;
    ASSERT_EQ(run.status, QProcess::NormalExit) << err.toStdString();
    EXPECT_TRUE(out.startsWith("Violet garden seven\n")) << "the SVG's text: " << out.toStdString();
    // Every file gives its text or one line naming it.
    const int refused = int(err.count("quorvale: " + dir.path()));
    const int read = int(out.split("\n\n", Qt::SkipEmptyParts).size());
    EXPECT_EQ(read + refused, files.size()) << out.toStdString() << err.toStdString();
    EXPECT_EQ(err.count('\n'), refused) << err.toStdString();
}

TEST_F(OcrCommand, ArgumentMistakesExitWithUsage) {
    for (const QStringList& arguments :
         {QStringList{"ocr"}, QStringList{"ocr", "--lang", "klingon", "x.png"},
          QStringList{"--nope"}}) {
        const CommandRun run = quorvale(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith("quorvale: ")) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST_F(OcrCommand, HelpAndVersion) {
    const CommandRun help = quorvale({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("quorvale capture --window"));
    const CommandRun version = quorvale({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("quorvale "));
}

} // namespace
