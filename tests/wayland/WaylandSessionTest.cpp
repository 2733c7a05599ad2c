#include "support/WaylandSession.h"
#include "support/Wait.h"

#include <gtest/gtest.h>

using namespace quorvale;

namespace {

// The session the app tests stand on: windows, pointer, keys and clipboard as a user has them.
class SwaySession : public ::testing::Test {
protected:
    void SetUp() override {
        const QString reason = test::WaylandSession::unavailableReason();
        if (!reason.isEmpty()) {
            GTEST_SKIP() << reason.toStdString();
        }
        session = std::make_unique<test::WaylandSession>();
        ASSERT_TRUE(session->isValid()) << session->failure().toStdString();
    }

    // Waits for the line among what the probe printed so far.
    static bool waitForLine(QProcess* probe, QStringList& seen, const QString& line) {
        return test::waitUntil(
                   [&] {
                       while (probe->canReadLine()) {
                           seen << QString::fromUtf8(probe->readLine()).trimmed();
                       }
                       return seen.contains(line) || probe->state() != QProcess::Running;
                   },
                   15000) &&
               seen.contains(line);
    }

    std::unique_ptr<test::WaylandSession> session;
};

TEST_F(SwaySession, PointerAndKeysReachAWindowOnEachOutput) {
    struct Row {
        int output;
        QPoint inside;
    } rows[] = {{0, {300, 200}}, {1, {100, 900}}};
    for (const Row& row : rows) {
        const test::WaylandSession::Output& output = test::WaylandSession::outputs().at(row.output);
        SCOPED_TRACE(output.name.toStdString());
        QProcess* probe =
            session->startHelper(QUORVALE_TEST_TOOLS_DIR "/quorvale-probe-window", {output.name});
        ASSERT_NE(probe, nullptr);
        QStringList seen;
        ASSERT_TRUE(waitForLine(probe, seen, "shown")) << seen.join('|').toStdString();
        EXPECT_EQ(session->outputOfWindow("probe " + output.name), output.name);

        ASSERT_TRUE(session->movePointer(output.geometry.topLeft() + row.inside));
        ASSERT_TRUE(session->pressButton());
        ASSERT_TRUE(session->releaseButton());
        const QString at = QStringLiteral("%1 %2").arg(row.inside.x()).arg(row.inside.y());
        EXPECT_TRUE(waitForLine(probe, seen, "release " + at)) << seen.join('|').toStdString();
        EXPECT_TRUE(seen.contains("press " + at)) << seen.join('|').toStdString();

        ASSERT_TRUE(session->key("Escape"));
        EXPECT_TRUE(waitForLine(probe, seen, "key Esc")) << seen.join('|').toStdString();
    }
}

TEST_F(SwaySession, TextOnTheClipboardIsReadBackAsItWasAndOutputsShowTheirBackground) {
    for (const QString& text : {QStringLiteral("plain"), QStringLiteral("Zoë’s café\nline two")}) {
        EXPECT_TRUE(session->setClipboardText(text))
            << "read back: " << session->clipboardText().toStdString();
    }
    QImage half(test::WaylandSession::outputs().at(1).geometry.size(), QImage::Format_RGB32);
    half.fill(Qt::white);
    for (int row = 0; row < half.height() / 2; ++row) {
        std::fill_n(reinterpret_cast<QRgb*>(half.scanLine(row)), half.width(), qRgb(0, 0, 0));
    }
    EXPECT_TRUE(session->setBackground("HEADLESS-2", half));
}

} // namespace
