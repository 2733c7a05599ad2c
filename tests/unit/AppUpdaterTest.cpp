#include "shared/AppUpdater.h"
#include "platform/fake/FakePlatform.h"
#include "shared/UpdateFeed.h"
#include "support/Wait.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

TEST(UpdateFeedTest, ComparesVersionsOfAnyLengthAndRefusesNonVersions) {
    const struct {
        const char *a, *b;
        std::optional<int> order;
    } cases[] = {
        {"1.2.3", "1.2.3", 0},
        {"1.10", "1.9", 1},
        {"1.2", "1.2.0", 0},
        {"v2.0.0", "1.99.99", 1},
        {"1.2.3-rc1", "1.2.3", -1},
        {"1.2.3-rc2", "1.2.3-rc1", 1},
        {"999999999999999999999", "0.1.0", 1},
        {"000001.0", "1", 0},
        {"1.2.3.4.5", "1", std::nullopt},
        {"", "1", std::nullopt},
        {"1..2", "1", std::nullopt},
        {"one", "1", std::nullopt},
        {"1.2.3-", "1", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UpdateFeed::compareVersions(c.a, c.b), c.order) << c.a << " vs " << c.b;
    }
}

TEST(UpdateFeedTest, ParsesTheFeedAndRefusesWhatItCannotTrust) {
    const auto good = UpdateFeed::parse(
        R"({"version":"0.2.0","date":"2026-11-30","notes":"Faster.","page":"https://example.org/r"})");
    ASSERT_TRUE(good.isSuccess());
    EXPECT_EQ(good.value().version, "0.2.0");
    EXPECT_EQ(good.value().notes, "Faster.");
    EXPECT_EQ(good.value().page, QUrl("https://example.org/r"));

    const QByteArray bad[] = {
        "not json",
        "[1,2]",
        R"({"page":"https://example.org/r"})",
        R"({"version":2,"page":"https://example.org/r"})",
        R"({"version":"soon","page":"https://example.org/r"})",
        R"({"version":"1.0.0","page":"http://example.org/r"})",
        R"json({"version":"1.0.0","page":"javascript:alert(1)"})json",
        R"({"version":"1.0.0"})",
        QByteArray(UpdateFeed::kMaxBytes + 1, ' '),
    };
    for (const QByteArray& json : bad) {
        const auto parsed = UpdateFeed::parse(json);
        EXPECT_FALSE(parsed.isSuccess()) << json.left(60).toStdString();
        if (!parsed.isSuccess()) {
            EXPECT_FALSE(parsed.error().isEmpty());
        }
    }
}

// Serves canned answers by path, the way a release server (or a broken one) would.
class FeedServer : public QObject {
public:
    FeedServer() {
        server.listen(QHostAddress::LocalHost);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    buffered[socket] += socket->readAll();
                    if (!buffered[socket].contains("\r\n\r\n")) {
                        return;
                    }
                    const QByteArray path = buffered[socket].split(' ').value(1);
                    socket->write(answer(path));
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QUrl url(const char* path) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path));
    }

    QTcpServer server;
    QHash<QTcpSocket*, QByteArray> buffered;

private:
    static QByteArray ok(const QByteArray& body, bool withLength = true) {
        return "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n" +
               (withLength ? "Content-Length: " + QByteArray::number(body.size()) + "\r\n"
                           : QByteArray()) +
               "\r\n" + body;
    }
    static QByteArray feed(const char* version, const char* page = "https://example.org/r") {
        return ok(QByteArray(R"({"version":")") + version + R"(","date":"2026-12-01",)" +
                  R"("notes":"Reads tables.","page":")" + page + "\"}");
    }
    static QByteArray answer(const QByteArray& path) {
        static const QHash<QByteArray, QByteArray> answers = {
            {"/newer", feed("9.0.0")},
            {"/same", feed("0.1.0")},
            {"/rc", feed("0.1.1-rc1")},
            {"/huge-number", feed("999999999999999999999")},
            {"/http-link", feed("9.0.0", "http://example.org/r")},
            {"/not-json", ok("<html>hello</html>")},
            {"/claims-50mb",
             "HTTP/1.1 200 OK\r\nContent-Length: 52428800\r\nConnection: close\r\n\r\n{"},
            {"/unannounced-50mb", ok(QByteArray(2 * 1024 * 1024, ' '), false)},
            {"/loop", "HTTP/1.1 302 Found\r\nLocation: /loop\r\nContent-Length: 0\r\n"
                      "Connection: close\r\n\r\n"},
        };
        return answers.value(
            path, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    }
};

class AppUpdaterTest : public ::testing::Test {
protected:
    void SetUp() override { AppUpdater::allowLoopbackHttpForTesting(true); }
    void TearDown() override { AppUpdater::allowLoopbackHttpForTesting(false); }

    // Runs one check and answers the dialog it showed.
    platform::AlertRequest check(AppUpdater& updater) {
        fakes.alerts->shown.clear();
        bool finished = false;
        QObject::connect(&updater, &AppUpdater::checkFinished, [&] { finished = true; });
        updater.checkForUpdates();
        EXPECT_TRUE(test::waitUntil([&] { return finished; }, 20000));
        EXPECT_EQ(fakes.alerts->shown.size(), 1u);
        return fakes.alerts->shown.empty() ? platform::AlertRequest{} : fakes.alerts->shown[0];
    }

    platform::FakePlatform fakes;
    FeedServer server;
};

TEST_F(AppUpdaterTest, TellsTheUserTheOutcomeOfEveryFeed) {
    const struct {
        const char* path;
        QString message;
        QString detail;
    } cases[] = {
        {"/newer", "Quorvale 9.0.0 is available", "Reads tables."},
        {"/rc", "Quorvale 0.1.1-rc1 is available", "https://example.org/r"},
        {"/huge-number", "Quorvale 999999999999999999999 is available", "You have version 0.1.0"},
        {"/same", "You're up to date", "0.1.0 is the newest"},
        {"/http-link", "Cannot check for updates", "not an https:// address"},
        {"/not-json", "Cannot check for updates", "not a JSON object"},
        {"/claims-50mb", "Cannot check for updates", "larger than 256 KB"},
        {"/unannounced-50mb", "Cannot check for updates", "larger than 256 KB"},
        {"/loop", "Cannot check for updates", "redirect loop"},
        {"/missing", "Cannot check for updates", "could not be fetched"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        AppUpdater updater(server.url(c.path), "0.1.0");
        EXPECT_FALSE(updater.startFailure());
        const platform::AlertRequest shown = check(updater);
        EXPECT_EQ(shown.messageText, c.message);
        EXPECT_TRUE(shown.informativeText.contains(c.detail))
            << shown.informativeText.toStdString();
    }
}

TEST_F(AppUpdaterTest, OpensOnlyTheReleasePageAndNeverDownloads) {
    AppUpdater updater(server.url("/newer"), "0.1.0");
    fakes.alerts->response = platform::ModalAlerts::kFirstButtonResponse;
    const platform::AlertRequest shown = check(updater);
    EXPECT_EQ(shown.buttons, QStringList({"Open Release Page", "Later"}));
    ASSERT_EQ(fakes.urlOpener->opened.size(), 1);
    EXPECT_EQ(fakes.urlOpener->opened[0], QUrl("https://example.org/r"));
}

TEST_F(AppUpdaterTest, AFailedStartIsPrintedOnceAndChecksStillAnswer) {
    const struct {
        QUrl feed;
        const char* reason;
    } cases[] = {
        {QUrl(), "no update feed configured"},
        {QUrl("http://example.org/feed.json"), "not an https:// address"},
        {QUrl("ftp://127.0.0.1/feed.json"), "not an https:// address"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        testing::internal::CaptureStdout();
        AppUpdater updater(c.feed, "0.1.0");
        const QString printed = QString::fromStdString(testing::internal::GetCapturedStdout());
        EXPECT_TRUE(printed.startsWith("Failed to start updater: ")) << printed.toStdString();
        EXPECT_EQ(printed.count('\n'), 1);
        EXPECT_TRUE(printed.contains(c.reason));

        const platform::AlertRequest shown = check(updater);
        EXPECT_EQ(shown.messageText, "Cannot check for updates");
        EXPECT_TRUE(shown.informativeText.contains(c.reason));
    }
}

} // namespace
