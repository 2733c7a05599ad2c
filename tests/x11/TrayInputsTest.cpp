#include "support/TextImageRenderer.h"
#include "support/Wait.h"
#include "support/X11Session.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

class TrayInputs : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.isValid()) << "Xvfb did not start"; }
    void TearDown() override {
        trayer.kill();
        trayer.waitForFinished(3000);
    }

    // An XEmbed tray, as panels like trayer or stalonetray provide it.
    void startTray() {
        trayer.setProcessEnvironment(session.environment());
        trayer.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "pixel",
                                "--width", "120", "--height", "24", "--SetDockType", "true"});
        ASSERT_TRUE(trayer.waitForStarted(5000));
        ASSERT_TRUE(test::waitUntil(
            [&] {
                return session.run("xwininfo", {"-root", "-tree"})
                    .standardOutput.contains("\"panel\"");
            },
            10000));
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
        const QString icon = session.run("xdotool", {"search", "--name", "^Quorvale tray$"})
                                 .standardOutput.section('\n', 0, 0);
        ASSERT_FALSE(icon.isEmpty()) << "the icon is not docked";
        ASSERT_TRUE(test::waitUntil([&] { return sizeOf(icon).width() >= 16; }))
            << "the tray did not size the icon";
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
    QProcess trayer;
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
