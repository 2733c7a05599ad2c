#include "app/InstanceClient.h"
#include "app/InstanceServer.h"
#include "support/Wait.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrent>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

TEST(InstanceProtocolTest, RequestsRoundTripAndBadMessagesAreRefused) {
    InstanceRequest file;
    file.command = InstanceRequest::Command::file;
    file.path = QString::fromUtf8("/tmp/ünïcode shot.png");
    QString error;
    const auto decoded = InstanceProtocol::decodeRequest(InstanceProtocol::encode(file), &error);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->path, file.path);

    const QByteArray bad[] = {
        "not json\n",
        "[1,2]\n",
        R"({"version":2,"command":"ping"})",
        R"({"command":"ping"})",
        R"({"version":1,"command":"format-disk"})",
        R"({"version":1,"command":"file"})",
        QByteArray(InstanceProtocol::kMaxMessageBytes + 10, '{'),
    };
    for (const QByteArray& message : bad) {
        error.clear();
        EXPECT_FALSE(InstanceProtocol::decodeRequest(message, &error)) << message.left(60).data();
        EXPECT_FALSE(error.isEmpty());
    }
}

class InstanceChannel : public ::testing::Test {
protected:
    QString socketPath() const { return dir.filePath("sub/quorvale.socket"); }

    // The client blocks, so it runs on a pool thread while the server serves events here.
    std::optional<InstanceReply> sendFromAnotherThread(const InstanceRequest& request) {
        const QString path = socketPath();
        QFuture<std::optional<InstanceReply>> future = QtConcurrent::run([path, request] {
            QString error;
            return InstanceClient::send(path, request, 3000, &error);
        });
        EXPECT_TRUE(test::waitUntil([&] { return future.isFinished(); }));
        return future.result();
    }

    QTemporaryDir dir;
};

TEST_F(InstanceChannel, ServerAnswersAndTakesOverAStaleSocket) {
    {
        // A server that died without cleaning up leaves its socket file behind.
        QLocalServer stale;
        QDir().mkpath(dir.filePath("sub"));
        ASSERT_TRUE(stale.listen(socketPath()));
        stale.setSocketOptions(QLocalServer::UserAccessOption);
    }
    QFile leftover(socketPath());
    if (!leftover.exists()) {
        ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
        leftover.close();
    }

    std::vector<InstanceRequest> received;
    InstanceServer server([&](const InstanceRequest& request, InstanceServer::Reply reply) {
        received.push_back(request);
        reply({true, QStringLiteral("done")});
    });
    QString error;
    ASSERT_EQ(server.listen(socketPath(), &error), InstanceServer::ListenResult::listening)
        << error.toStdString();
    EXPECT_EQ(QFileInfo(dir.filePath("sub")).permissions() & (QFile::ReadOther | QFile::ReadGroup),
              0);

    InstanceRequest capture;
    capture.command = InstanceRequest::Command::capture;
    capture.windowMode = true;
    const auto reply = sendFromAnotherThread(capture);
    ASSERT_TRUE(reply);
    EXPECT_TRUE(reply->ok);
    EXPECT_EQ(reply->message, "done");
    ASSERT_EQ(received.size(), 1u);
    EXPECT_TRUE(received[0].windowMode);

    // A second instance must find the live one rather than steal its socket.
    const QString path = socketPath();
    QFuture<InstanceServer::ListenResult> second = QtConcurrent::run([path] {
        InstanceServer other([](const InstanceRequest&, InstanceServer::Reply) {});
        QString otherError;
        return other.listen(path, &otherError);
    });
    ASSERT_TRUE(test::waitUntil([&] { return second.isFinished(); }));
    EXPECT_EQ(second.result(), InstanceServer::ListenResult::anotherInstanceRunning);
}

TEST_F(InstanceChannel, NoServerOrASilentOneGivesNoReply) {
    QString error;
    EXPECT_FALSE(InstanceClient::send(socketPath(), InstanceRequest{}, 500, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(InstanceClient::isRunning(socketPath()));

    QDir().mkpath(dir.filePath("sub"));
    InstanceServer silent([](const InstanceRequest&, InstanceServer::Reply) {});
    ASSERT_EQ(silent.listen(socketPath(), &error), InstanceServer::ListenResult::listening);
    EXPECT_FALSE(sendFromAnotherThread(InstanceRequest{})) << "times out";
}

} // namespace
