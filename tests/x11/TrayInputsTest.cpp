#include "support/TextImageRenderer.h"
#include "support/Wait.h"
#include "support/X11Session.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

class TrayInputs : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.isValid()) << "Xvfb did not start"; }
    void TearDown() override {
        for (QProcess* process : {&tray, &dragSource}) {
            process->kill();
            process->waitForFinished(3000);
        }
    }

    // An XEmbed tray. trayer's own window takes every drop made over it; wmsystemtray's does
    // not, so there a drag reaches the icon docked inside it.
    void startTray(bool dropsReachIcons = false) {
        tray.setProcessEnvironment(session.environment());
        if (dropsReachIcons) {
            tray.start("wmsystemtray", {"--non-wmaker", "--bgcolor", "grey"});
        } else {
            tray.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "pixel",
                                  "--width", "120", "--height", "24", "--SetDockType", "true"});
        }
        ASSERT_TRUE(tray.waitForStarted(5000));
        const QString window = dropsReachIcons ? "\"wmsystemtray0\"" : "\"panel\"";
        ASSERT_TRUE(test::waitUntil(
            [&] {
                return session.run("xwininfo", {"-root", "-tree"}).standardOutput.contains(window);
            },
            10000));
    }
    // The icon's window once a tray has docked and sized it; empty otherwise.
    QString dockedIcon() const {
        QString icon;
        test::waitUntil(
            [&] {
                icon = session.run("xdotool", {"search", "--name", "^Quorvale tray$"})
                           .standardOutput.section('\n', 0, 0);
                return !icon.isEmpty() && sizeOf(icon).width() >= 16;
            },
            10000);
        return icon;
    }
    // Drags `file` from a real XDND source onto the icon and lets go once the icon accepts it.
    void dropOnIcon(const QString& icon, const QString& file) {
        dragSource.setProcessEnvironment(session.environment());
        dragSource.start(QUORVALE_DRAG_SOURCE, {QUrl::fromLocalFile(file).toString()});
        QByteArray said;
        const auto hasSaid = [&](const char* line) {
            said += dragSource.readAllStandardOutput();
            return said.contains(line);
        };
        QString source;
        ASSERT_TRUE(test::waitUntil([&] {
            source = session.run("xdotool", {"search", "--name", "^file drag source$"})
                         .standardOutput.section('\n', 0, 0);
            return !source.isEmpty();
        }));
        ASSERT_TRUE(
            session.xdotool({"mousemove", "--window", source, "20", "20", "mousedown", "1"}));
        int step = 0;
        // The source sends a new position only after the target answered the last one.
        ASSERT_TRUE(test::waitUntil([&] {
            const QString offset = QString::number(10 + (step++ % 3));
            session.xdotool({"mousemove", "--window", icon, offset, offset});
            return hasSaid("accepted");
        })) << "the icon did not accept the drag";
        ASSERT_TRUE(session.xdotool({"mouseup", "1"}));
        EXPECT_TRUE(test::waitUntil([&] { return hasSaid("dropped copy"); })) << said.constData();
    }
    QStringList visibleAppWindows() const {
        const QString pid = QString::number(session.app()->processId());
        return session.run("xdotool", {"search", "--onlyvisible", "--pid", pid})
            .standardOutput.split('\n', Qt::SkipEmptyParts);
    }
    QSize sizeOf(const QString& window) const {
        const QString shell =
            session.run("xdotool", {"getwindowgeometry", "--shell", window}).standardOutput;
        const auto value = [&](const char* key) {
            const QString prefix = QString(key) + '=';
            for (const QString& line : shell.split('\n')) {
                if (line.startsWith(prefix)) {
                    return line.mid(prefix.size()).toInt();
                }
            }
            return 0;
        };
        return {value("WIDTH"), value("HEIGHT")};
    }
    // Opens the tray menu with a left click on the docked icon and picks the nth entry.
    void chooseFromMenu(int entry) {
        const QString icon = dockedIcon();
        ASSERT_FALSE(icon.isEmpty()) << "the icon is not docked";
        const int before = visibleAppWindows().size();
        ASSERT_TRUE(session.xdotool({"mousemove", "--window", icon, "11", "11", "click", "1"}));
        ASSERT_TRUE(test::waitUntil([&] { return visibleAppWindows().size() > before; }))
            << "the menu did not open";
        QStringList keys;
        for (int i = 0; i < entry; ++i) {
            keys << "Down";
        }
        keys << "Return";
        ASSERT_TRUE(session.xdotool(QStringList{"key", "--delay", "60"} + keys));
    }
    bool windowAppears(const std::function<bool(const QString&)>& matches) const {
        return test::waitUntil(
            [&] {
                for (const QString& window : visibleAppWindows()) {
                    if (matches(window)) {
                        return true;
                    }
                }
                return false;
            },
            10000);
    }

    test::X11Session session;
    QProcess tray;
    QProcess dragSource;
};

TEST_F(TrayInputs, MenuStartsACaptureAndOpensTheFileDialog) {
    ASSERT_TRUE(session.startWindowManager());
    startTray();
    ASSERT_TRUE(session.writeQuietDefaults());
    ASSERT_TRUE(session.startApp());

    chooseFromMenu(1);
    EXPECT_TRUE(windowAppears([&](const QString& w) { return sizeOf(w) == QSize(1280, 800); }))
        << "no selection overlay";
    ASSERT_TRUE(session.xdotool({"key", "Escape"}));
    ASSERT_TRUE(test::waitUntil([&] {
        for (const QString& window : visibleAppWindows()) {
            if (sizeOf(window) == QSize(1280, 800)) {
                return false;
            }
        }
        return true;
    }));

    chooseFromMenu(3);
    EXPECT_TRUE(windowAppears([&](const QString& w) {
        return session.run("xdotool", {"getwindowname", w})
            .standardOutput.startsWith("Capture Text from File");
    })) << "no file dialog";
    EXPECT_TRUE(session.isAppRunning());
}

TEST_F(TrayInputs, AFileDroppedOnTheDockedIconIsRecognised) {
    startTray(true);
    ASSERT_TRUE(session.writeQuietDefaults());
    ASSERT_TRUE(session.startApp());
    const QString icon = dockedIcon();
    ASSERT_FALSE(icon.isEmpty()) << "the icon is not docked";

    const QString image = session.filePath("dropped.png");
    ASSERT_TRUE(
        test::renderTextImage({"Dropped on the tray"}, "DejaVu Sans", 16, false).save(image));
    dropOnIcon(icon, image);
    EXPECT_TRUE(
        test::waitUntil([&] { return session.clipboardText() == "Dropped on the tray"; }, 30000))
        << session.clipboardText().toStdString();

    dragSource.kill();
    dragSource.waitForFinished(3000);
    const QString text = session.filePath("notes.txt");
    QFile notes(text);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly) && notes.write("not an image\n") > 0);
    notes.close();
    dropOnIcon(icon, text);
    EXPECT_TRUE(test::waitUntil(
        [&] { return session.appErrors().contains("Copy Text Failed: Failed to load image"); }));
    EXPECT_EQ(session.clipboardText(), "Dropped on the tray");
}

TEST_F(TrayInputs, TheIconDocksIntoATrayStartedLaterAndAgainAfterTheTrayRestarts) {
    ASSERT_TRUE(session.writeQuietDefaults());
    ASSERT_TRUE(session.startApp());
    // The window the tray embeds the icon in, and the room the tray gives it.
    const QRegularExpression embedded(
        R"( (\d+)x\d+\+-?\d+\+-?\d+ [^\n]*\n\s+1 child:\n\s+0x[0-9a-f]+ "Quorvale tray")");
    const auto isDocked = [&] {
        const auto match =
            embedded.match(session.run("xwininfo", {"-root", "-tree"}).standardOutput);
        return match.hasMatch() && match.captured(1).toInt() >= 16;
    };
    // wmsystemtray first: trayer gives an icon that docks while it starts up no room at times.
    for (const bool dropsReachIcons : {true, false, false}) {
        tray.kill();
        tray.waitForFinished(3000);
        startTray(dropsReachIcons);
        EXPECT_TRUE(test::waitUntil(isDocked, 10000))
            << "no room in " << tray.program().toStdString();
    }
}

TEST_F(TrayInputs, ClipboardCommandReadsTheImageTheUserCopied) {
    ASSERT_TRUE(session.writeQuietDefaults());
    ASSERT_TRUE(session.startApp());
    ASSERT_TRUE(session.setClipboardText("only text"));
    const test::CommandOutput none = session.runQuorvale({"clipboard"});
    EXPECT_NE(none.exitCode, 0);
    EXPECT_EQ(none.standardError, "quorvale: there is no image on the clipboard\n");

    const QString image = session.filePath("copied.png");
    ASSERT_TRUE(
        test::renderTextImage({"Copied as a picture"}, "DejaVu Sans", 16, false).save(image));
    ASSERT_EQ(
        session.run("xclip", {"-selection", "clipboard", "-t", "image/png", "-i", image}).exitCode,
        0);
    const test::CommandOutput result = session.runQuorvale({"clipboard"});
    EXPECT_EQ(result.exitCode, 0) << result.standardError.toStdString();
    EXPECT_EQ(session.clipboardText(), "Copied as a picture");
}

} // namespace
