#include "support/TextImageRenderer.h"
#include "support/Wait.h"
#include "support/X11Session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>

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
    const QString pipe = session.filePath("pipe.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // The reason reaches the command's output, whichever side found it.
    const std::pair<QString, const char*> cases[] = {
        {writeFile("notes.png", "plain text pretending to be a PNG"),
         "Failed to load image: not an image in a supported format"},
        {writeFile("truncated.png", png.readAll().left(100)), "Failed to load image: the image"},
        {session.filePath("missing.png"), "no such file"},
        {session.filePath(""), "folder"},
        {pipe, "not a regular file"},
        {"/dev/zero", "not a regular file"},
    };
    for (const auto& [path, reason] : cases) {
        const test::CommandOutput result = session.runQuorvale({"file", path});
        EXPECT_NE(result.exitCode, 0) << path.toStdString();
        EXPECT_TRUE(result.standardError.startsWith("quorvale: " + path + ": "))
            << result.standardError.toStdString();
        EXPECT_TRUE(result.standardError.contains(reason)) << result.standardError.toStdString();
        EXPECT_EQ(result.standardError.count('\n'), 1) << result.standardError.toStdString();
    }
    EXPECT_EQ(session.clipboardText(), "keep me");
    EXPECT_TRUE(session.isAppRunning());
}

TEST_F(FileToClipboard, CorruptSettingsAreKeptAsideAndTheAppStillStarts) {
    ASSERT_TRUE(session.startWindowManager());
    const QByteArray garbage("\x89PNG\x00\xff{\"pref_", 13);
    ASSERT_TRUE(session.writeDefaults(garbage));
    ASSERT_TRUE(session.startApp());

    // With default settings the settings window opens too; the notice must stay above it.
    auto windowNamed = [&](const QString& title) {
        return session.run("xdotool", {"search", "--name", '^' + title + '$'})
            .standardOutput.split('\n', Qt::SkipEmptyParts);
    };
    QStringList stacking; // bottom to top
    QString notice, preferences;
    ASSERT_TRUE(test::waitUntil(
        [&] {
            stacking.clear();
            const QString list =
                session.run("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"}).standardOutput;
            for (const QString& id : list.section('#', 1).split(',', Qt::SkipEmptyParts)) {
                stacking << QString::number(id.trimmed().toUInt(nullptr, 16));
            }
            auto managed = [&](const QStringList& ids) {
                for (const QString& id : ids) {
                    if (stacking.contains(id)) {
                        return id;
                    }
                }
                return QString();
            };
            notice = managed(windowNamed("Quorvale"));
            preferences = managed(windowNamed("Preferences"));
            return !notice.isEmpty() && !preferences.isEmpty();
        },
        15000));
    EXPECT_GT(stacking.indexOf(notice), stacking.indexOf(preferences));
    const QStringList kept =
        QDir(session.configHome() + "/quorvale").entryList({"defaults.json.corrupt-*"});
    ASSERT_EQ(kept.size(), 1);
    QFile keptFile(session.configHome() + "/quorvale/" + kept.first());
    ASSERT_TRUE(keptFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(keptFile.readAll(), garbage);
}

TEST_F(FileToClipboard, EndingSignalsQuitCleanly) {
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        startQuietApp();
        ASSERT_EQ(::kill(pid_t(session.app()->processId()), number), 0);
        ASSERT_TRUE(session.app()->waitForFinished(10000)) << number;
        EXPECT_EQ(session.app()->exitStatus(), QProcess::NormalExit) << number;
        EXPECT_EQ(session.app()->exitCode(), 0) << number;
        EXPECT_EQ(QDir(session.runtimeDir()).entryList(QDir::System | QDir::Files), QStringList())
            << number << ": the socket and its lock are gone";
    }
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
