#include "platform/linux/JournalSystemLog.h"
#include "support/TextImageRenderer.h"
#include "support/Wait.h"
#include "support/X11Session.h"

#include <gtest/gtest.h>

using namespace quorvale;

namespace {

// What the running app writes to the journal, with every debug category on: its own
// categories as fields, and never the text it recognised.
TEST(AppLog, JournalHoldsCategoriesButNoRecognisedText) {
    if (!platform::JournalSystemLog::isAvailable()) {
        GTEST_SKIP() << "no systemd journal on this machine";
    }
    test::X11Session session;
    ASSERT_TRUE(session.isValid());
    ASSERT_TRUE(session.writeQuietDefaults());
    session.setEnvironment("QT_FORCE_STDERR_LOGGING", "0");
    session.setEnvironment("QT_LOGGING_RULES", "com.vantrelo.Quorvale.*.debug=true");
    ASSERT_TRUE(session.startApp());
    const QString secret = "Marmalade quibbles 4711";
    const QString image = session.filePath("secret.png");
    ASSERT_TRUE(test::renderTextImage({secret}, "DejaVu Sans", 16, false).save(image));
    ASSERT_EQ(session.runQuorvale({"file", image}).exitCode, 0);
    ASSERT_EQ(session.clipboardText(), secret);
    ASSERT_TRUE(session.runQuorvale({"capture"}).exitCode == 0);

    const QString pid = QString::number(session.app()->processId());
    QString journal;
    const bool found = test::waitUntil(
        [&] {
            journal = session
                          .run("journalctl",
                               {"--no-pager", "-o", "verbose", "-t", "quorvale", "_PID=" + pid})
                          .standardOutput;
            return journal.contains("MESSAGE=capture startup-done");
        },
        10000);
    ASSERT_TRUE(found) << journal.toStdString();
    EXPECT_TRUE(journal.contains("CATEGORY=General")) << journal.toStdString();
    EXPECT_TRUE(journal.contains("CATEGORY=Debug"));
    EXPECT_TRUE(journal.contains("SUBSYSTEM=com.vantrelo.Quorvale"));
    EXPECT_FALSE(journal.contains("Marmalade")) << journal.toStdString();
    EXPECT_FALSE(session.appErrors().contains("Marmalade"));
}

} // namespace
