#include "support/TextImageRenderer.h"
#include "support/Wait.h"
#include "support/X11Session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

class FileToClipboard : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.isValid()) << "Xvfb did not start"; }
    // The first launch opens the settings window; these tests are about the tray app alone.
    void startQuietApp() {
        ASSERT_TRUE(session.writeQuietDefaults());
        ASSERT_TRUE(session.startApp());
    }
    QString writeFile(const QString& name, const QByteArray& content) {
        const QString path = session.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
    QString renderedImage(const QString& name, const QStringList& lines) {
        const QString path = session.filePath(name);
        EXPECT_TRUE(test::renderTextImage(lines, "DejaVu Sans", 16, false).save(path));
        return path;
    }

    test::X11Session session;
};

TEST_F(FileToClipboard, TextStaysOnTheClipboardAfterTheCommandExits) {
    startQuietApp();
    const QString image =
        renderedImage("hello.png", {"Hello from the clipboard", "Second line here"});
    const test::CommandOutput result = session.runQuorvale({"file", image});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0) << result.standardError.toStdString();
    EXPECT_EQ(session.clipboardText(), "Hello from the clipboard\nSecond line here");
}

TEST_F(FileToClipboard, FailureKeepsTheEarlierClipboard) {
    startQuietApp();
    ASSERT_TRUE(session.setClipboardText("keep me"));
    QFile png(renderedImage("full.png", {"Some text"}));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    for (const QString& path : {writeFile("notes.png", "plain text pretending to be a PNG"),
                                writeFile("truncated.png", png.readAll().left(100)),
                                session.filePath("missing.png"), session.filePath("")}) {
        const test::CommandOutput result = session.runQuorvale({"file", path});
        EXPECT_NE(result.exitCode, 0) << path.toStdString();
        EXPECT_TRUE(result.standardError.startsWith("quorvale: "))
            << result.standardError.toStdString();
        EXPECT_EQ(result.standardError.count('\n'), 1) << result.standardError.toStdString();
    }
    EXPECT_EQ(session.clipboardText(), "keep me");
    EXPECT_TRUE(session.isAppRunning());
}

TEST_F(FileToClipboard, CorruptSettingsAreKeptAsideAndTheAppStillStarts) {
    const QByteArray garbage("\x89PNG\x00\xff{\"pref_", 13);
    ASSERT_TRUE(session.writeDefaults(garbage));
    ASSERT_TRUE(session.startApp());
    const QStringList kept =
        QDir(session.configHome() + "/quorvale").entryList({"defaults.json.corrupt-*"});
    ASSERT_EQ(kept.size(), 1);
    QFile keptFile(session.configHome() + "/quorvale/" + kept.first());
    ASSERT_TRUE(keptFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(keptFile.readAll(), garbage);
}

TEST_F(FileToClipboard, SecondLaunchHandsOverToTheRunningInstance) {
    startQuietApp();
    const test::CommandOutput second = session.runQuorvale({});
    EXPECT_TRUE(second.finished);
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_TRUE(session.isAppRunning());
}

TEST_F(FileToClipboard, CommandsWithoutARunningInstanceSaySo) {
    const test::CommandOutput result =
        session.runQuorvale({"file", renderedImage("x.png", {"text"})});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.standardError.contains("not running")) << result.standardError.toStdString();
}

} // namespace
