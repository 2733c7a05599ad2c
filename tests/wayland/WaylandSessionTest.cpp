#include "support/WaylandSession.h"
#include "support/Wait.h"

#include <QDBusMessage>
#include <QFile>
#include <QUrl>
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
        startSession(test::WaylandSession::Portal::Real);
    }

    void startSession(test::WaylandSession::Portal portal) {
        session.reset();
        session = std::make_unique<test::WaylandSession>(portal);
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

class PortalAnswer : public QObject {
    Q_OBJECT
public slots:
    void take(uint code, const QVariantMap& results) {
        response = int(code);
        uri = results.value("uri").toString();
    }

public:
    int response = -1;
    QString uri;
};

TEST_F(SwaySession, ScreenshotPortalAnswersWithTheWholeLayoutOrRefuses) {
    using Portal = test::WaylandSession::Portal;
    struct Row {
        Portal portal;
        int response;
    } rows[] = {{Portal::Real, 0}, {Portal::Refusing, 2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.response);
        if (row.portal != Portal::Real) {
            startSession(row.portal);
        }
        QDBusConnection bus = session->bus();
        const QString path = "/org/freedesktop/portal/desktop/request/" +
                             bus.baseService().mid(1).replace('.', '_') + "/probe";
        PortalAnswer answer;
        ASSERT_TRUE(bus.connect({}, path, "org.freedesktop.portal.Request", "Response", &answer,
                                SLOT(take(uint, QVariantMap))));
        QDBusMessage call = QDBusMessage::createMethodCall(
            "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
            "org.freedesktop.portal.Screenshot", "Screenshot");
        call << QString() << QVariantMap{{"handle_token", "probe"}, {"interactive", false}};
        const QDBusMessage reply = bus.call(call, QDBus::Block, 10000);
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        ASSERT_TRUE(test::waitUntil([&] { return answer.response >= 0; }, 10000));
        EXPECT_EQ(answer.response, row.response);
        if (row.response == 0) {
            const QString file = QUrl(answer.uri).toLocalFile();
            EXPECT_EQ(QImage(file).size(), QSize(3200, 1080)) << answer.uri.toStdString();
            QFile::remove(file);
        }
    }
}

} // namespace

#include "WaylandSessionTest.moc"
