#include "support/TextImageRenderer.h"
#include "support/Wait.h"
#include "support/WaylandSession.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <gtest/gtest.h>

using namespace quorvale;
using Portal = test::WaylandSession::Portal;

namespace {

// The tray app on sway, driven as a user drives it: `quorvale capture`, then the pointer or a
// key on the overlay; watched through its capture trace and the clipboard.
class CaptureOnWayland : public ::testing::Test {
protected:
    void SetUp() override {
        const QString reason = test::WaylandSession::unavailableReason();
        if (!reason.isEmpty()) {
            GTEST_SKIP() << reason.toStdString();
        }
    }

    // Each case ends as a logout ends the app: a clean exit, with nothing leaked under the
    // sanitizers.
    void TearDown() override {
        if (appStarted) {
            EXPECT_EQ(session->quitApp(), 0);
        }
    }

    void startApp(Portal portal) {
        session = std::make_unique<test::WaylandSession>(portal);
        ASSERT_TRUE(session->isValid()) << session->failure().toStdString();
        QDir().mkpath(session->filePath("config/quorvale"));
        QFile defaults(session->filePath("config/quorvale/defaults.json"));
        ASSERT_TRUE(defaults.open(QIODevice::WriteOnly));
        defaults.write(R"({"pref_showDockIcon": false, "pref_enableSound": false})");
        defaults.close();
        session->setEnvironment("QT_LOGGING_RULES", "com.vantrelo.Quorvale.Debug.debug=true");
        ASSERT_TRUE(session->startApp()) << session->appErrors().toStdString();
        appStarted = true;
    }

    bool waitFor(const QString& text, int timeoutMs = 30000) const {
        return test::waitUntil([&] { return session->appErrors().contains(text); }, timeoutMs);
    }
    static QString trace(const char* event) { return QStringLiteral("capture %1").arg(event); }

    void capture() {
        const test::CommandOutput result = session->runQuorvale({"capture"});
        ASSERT_EQ(result.exitCode, 0) << result.standardError.toStdString();
    }
    // Asks for a selection and waits until its overlays are up and take gestures.
    void beginSelection() {
        capture();
        ASSERT_TRUE(waitFor(trace("overlay-painted"))) << "no overlay came up";
        ASSERT_TRUE(waitFor(trace("startup-done"))) << "the overlay takes no gestures";
    }

    std::unique_ptr<test::WaylandSession> session;
    bool appStarted = false;
};

TEST_F(CaptureOnWayland, DragOverTextOnTheSecondOutputPutsTheTextOnTheClipboard) {
    startApp(Portal::Real);
    const QRect second = test::WaylandSession::outputs().at(1).geometry;
    const QStringList lines{"Quorvale reads this line", "and the second one too"};
    const QImage text = test::renderTextImage(lines, "DejaVu Sans", 40, false);
    const QPoint at(200, 300);
    QImage page(second.size(), QImage::Format_RGB32);
    page.fill(text.pixel(0, 0));
    QPainter(&page).drawImage(at, text);
    ASSERT_TRUE(session->setBackground("HEADLESS-2", page));

    beginSelection();
    // The pointer is still on the first output: the second shows the page dimmed all the same.
    const QPoint blank(second.width() - 10, second.height() - 10);
    EXPECT_TRUE(test::waitUntil(
        [&] {
            const QImage shown = session->grab("HEADLESS-2");
            return !shown.isNull() && qGray(shown.pixel(blank)) < qGray(page.pixel(blank)) - 40;
        },
        5000))
        << "the second output shows the live desktop";
    const QPoint origin = second.topLeft() + at;
    ASSERT_TRUE(
        session->drag(origin + QPoint(4, 4), origin + QPoint(text.width() - 4, text.height() - 4)));
    EXPECT_TRUE(
        test::waitUntil([&] { return session->clipboardText() == lines.join('\n'); }, 30000))
        << "clipboard: " << session->clipboardText().toStdString();
}

TEST_F(CaptureOnWayland, EscapeClosesTheOverlayAndLeavesTheClipboardAlone) {
    startApp(Portal::Real);
    ASSERT_TRUE(session->setClipboardText("kept"));
    beginSelection();
    ASSERT_TRUE(session->key("Escape"));
    ASSERT_TRUE(waitFor(trace("selection-finished"))) << "Escape did not end the selection";
    EXPECT_EQ(session->clipboardText(), "kept");
}

TEST_F(CaptureOnWayland, RefusedScreenshotShowsThePermissionAlertAndLeavesTheClipboardAlone) {
    startApp(Portal::Refusing);
    ASSERT_TRUE(session->setClipboardText("kept"));
    capture();
    ASSERT_TRUE(waitFor(trace("portal-denied"))) << "the refusal was not noticed";
    EXPECT_TRUE(test::waitUntil(
        [&] { return !session->outputOfWindow("Screen Recording Permission Required").isEmpty(); },
        15000))
        << "no permission alert among the windows";
    EXPECT_FALSE(session->appErrors().contains(trace("overlay-painted")));
    EXPECT_EQ(session->clipboardText(), "kept");
}

TEST_F(CaptureOnWayland, AShortcutTheDesktopBoundStartsACapture) {
    startApp(Portal::Refusing);
    ASSERT_TRUE(waitFor("shortcuts portal bound 4 shortcuts")) << "the stand-in bound nothing";
    ASSERT_TRUE(session->activateShortcut("captureAndCopy"));
    EXPECT_TRUE(waitFor(trace("portal-denied"))) << "the press started no capture";
    EXPECT_FALSE(session->appErrors().contains("Global shortcuts cannot be registered here"));
}

} // namespace
