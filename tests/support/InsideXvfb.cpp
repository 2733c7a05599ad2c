#include "support/InsideXvfb.h"

#include "support/X11Session.h"

#include <QApplication>
#include <QProcess>
#include <cstdio>
#include <gtest/gtest.h>

namespace quorvale::test {

int runTestsInsideXvfb(int argc, char** argv) {
    if (qEnvironmentVariableIsSet("QUORVALE_TEST_IN_XVFB")) {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        return RUN_ALL_TESTS();
    }
    QCoreApplication app(argc, argv);
    X11Session session;
    if (!session.isValid()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    session.setEnvironment("QUORVALE_TEST_IN_XVFB", "1");
    QProcess self;
    self.setProcessEnvironment(session.environment());
    self.setProcessChannelMode(QProcess::ForwardedChannels);
    self.start(QCoreApplication::applicationFilePath(), app.arguments().mid(1));
    self.waitForFinished(-1);
    return self.exitStatus() == QProcess::NormalExit ? self.exitCode() : 1;
}

} // namespace quorvale::test
