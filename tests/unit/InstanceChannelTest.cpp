#include "app/InstanceClient.h"
#include "app/InstanceServer.h"
#include "support/ScopedEnv.h"
#include "support/Wait.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrent>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

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

    QDir().mkpath(dir.filePath("sub"));
    InstanceServer silent([](const InstanceRequest&, InstanceServer::Reply) {});
    ASSERT_EQ(silent.listen(socketPath(), &error), InstanceServer::ListenResult::listening);
    EXPECT_FALSE(sendFromAnotherThread(InstanceRequest{})) << "times out";
}

TEST_F(InstanceChannel, SilentConnectionsAreClosedAndPromptOnesAnswered) {
    QDir().mkpath(dir.filePath("sub"));
    InstanceServer server([](const InstanceRequest&, InstanceServer::Reply reply) {
        reply({true, QStringLiteral("done")});
    });
    server.setIdleTimeout(150);
    QString error;
    ASSERT_EQ(server.listen(socketPath(), &error), InstanceServer::ListenResult::listening);
    QLocalSocket silent;
    silent.connectToServer(socketPath());
    ASSERT_TRUE(silent.waitForConnected(1000));
    EXPECT_TRUE(test::waitUntil([&] { return silent.state() == QLocalSocket::UnconnectedState; }));
    const auto reply = sendFromAnotherThread(InstanceRequest{});
    ASSERT_TRUE(reply);
    EXPECT_TRUE(reply->ok);
}

// As /tmp is for everyone, another user may have made our fallback folder first, open to
// all, with a socket of their own in it that answers every request with success.
TEST_F(InstanceChannel, AFallbackFolderMadeByAnotherUserIsNeverUsed) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "acting as another user needs root";
    }
    constexpr uid_t kOtherUser = 65534;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 01777), 0);
    const test::ScopedEnv tmp("TMPDIR", QFile::encodeName(dir.path()));
    // A runtime folder that is not ours is passed over for the fallback.
    const QByteArray foreignRuntime = QFile::encodeName(dir.filePath("their-runtime"));
    ASSERT_EQ(::mkdir(foreignRuntime.constData(), 0700), 0);
    ASSERT_EQ(::chown(foreignRuntime.constData(), kOtherUser, kOtherUser), 0);
    const test::ScopedEnv runtime("XDG_RUNTIME_DIR", foreignRuntime);
    const QString socket = InstanceProtocol::socketPath();
    ASSERT_EQ(socket, dir.filePath("quorvale-0/quorvale.socket"));
    const QByteArray folder = QFile::encodeName(QFileInfo(socket).absolutePath());
    const QByteArray socketName = QFile::encodeName(socket);

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t intruder = ::fork();
    ASSERT_GE(intruder, 0);
    if (intruder == 0) {
        if (::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0) {
            ::_exit(2);
        }
        ::umask(0);
        ::mkdir(folder.constData(), 0777);
        const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socketName.constData(), sizeof address.sun_path - 1);
        if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener, 8) != 0 || ::write(ready[1], "r", 1) != 1) {
            ::_exit(3);
        }
        for (;;) {
            const int client = ::accept(listener, nullptr, nullptr);
            char request[4096];
            if (client < 0 || ::read(client, request, sizeof request) < 0) {
                ::_exit(0);
            }
            const char answer[] = "{\"version\":1,\"ok\":true,\"message\":\"Copy Text Succeed\"}\n";
            [[maybe_unused]] const auto sent = ::write(client, answer, sizeof answer - 1);
            ::close(client);
        }
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "the other user could not listen";

    InstanceRequest file;
    file.command = InstanceRequest::Command::file;
    file.path = QStringLiteral("/home/someone/private.png");
    QString error;
    EXPECT_FALSE(InstanceClient::send(socket, file, 2000, &error)) << "the path went to them";
    EXPECT_TRUE(error.contains("another user")) << error.toStdString();

    InstanceServer server([](const InstanceRequest&, InstanceServer::Reply) {});
    error.clear();
    EXPECT_EQ(server.listen(socket, &error), InstanceServer::ListenResult::failed);
    EXPECT_TRUE(error.contains("another user")) << error.toStdString();

    ::kill(intruder, SIGKILL);
    ::waitpid(intruder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
}

} // namespace
