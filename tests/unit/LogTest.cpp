#include "shared/Log.h"
#include "platform/fake/FakeSystemLog.h"
#include "platform/linux/JournalSystemLog.h"
#include "platform/linux/StderrSystemLog.h"

#include <QLoggingCategory>
#include <gtest/gtest.h>

using namespace quorvale;
using platform::LogEntry;

namespace {

Q_LOGGING_CATEGORY(lcLibrary, "qt.test.library")

class LogTest : public ::testing::Test {
protected:
    LogTest() { Log::installOutput(output); }
    ~LogTest() override {
        Log::installOutput(nullptr);
        QLoggingCategory::setFilterRules({});
    }

    std::shared_ptr<platform::FakeSystemLog> output = std::make_shared<platform::FakeSystemLog>();
};

TEST_F(LogTest, CategoriesLiveUnderTheApplicationId) {
    EXPECT_EQ(Log::subsystem(), "com.vantrelo.Quorvale");
    const std::pair<const QLoggingCategory&, const char*> categories[] = {
        {Log::networking(), "Networking"}, {Log::ui(), "UI"},       {Log::camera(), "Camera"},
        {Log::general(), "General"},       {Log::debug(), "Debug"},
    };
    for (const auto& [category, name] : categories) {
        EXPECT_EQ(QByteArray(category.categoryName()), QByteArray("com.vantrelo.Quorvale.") + name);
        EXPECT_TRUE(category.isInfoEnabled()) << name;
        EXPECT_FALSE(category.isDebugEnabled()) << name << ": debug output is opt-in";
    }
}

TEST_F(LogTest, ValuesAreNotReadAsPlaceholders) {
    Log::write(Log::ui(), QtWarningMsg, "%1 then %2, 100%3 %", {{"a %2", LogPrivacy::public_}});
    EXPECT_EQ(output->entries().last().message, "a %2 then %2, 100%3 %");
}

TEST_F(LogTest, EveryMessageReachesTheOutputWithItsCategory) {
    Log::write(Log::camera(), QtWarningMsg, "no pixels");
    const int line = __LINE__ - 1;
    qCDebug(Log::debug) << "dropped: debug output is off";
    qCInfo(Log::networking) << "feed read";
    qCWarning(lcLibrary) << "from Qt";
    qCritical() << "uncategorised";

    const QList<LogEntry> entries = output->entries();
    ASSERT_EQ(entries.size(), 4);
    struct Expected {
        QtMsgType type;
        const char* subsystem;
        const char* category;
    } expected[] = {{QtWarningMsg, "com.vantrelo.Quorvale", "Camera"},
                    {QtInfoMsg, "com.vantrelo.Quorvale", "Networking"},
                    {QtWarningMsg, "", "qt.test.library"},
                    {QtCriticalMsg, "", "default"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(entries[i].type, expected[i].type) << i;
        EXPECT_EQ(entries[i].subsystem, expected[i].subsystem) << i;
        EXPECT_EQ(entries[i].category, expected[i].category) << i;
    }
    EXPECT_TRUE(entries[0].file.endsWith("LogTest.cpp"));
    EXPECT_EQ(entries[0].line, line);

    QLoggingCategory::setFilterRules("com.vantrelo.Quorvale.*.debug=true");
    qCDebug(Log::debug) << "kept";
    EXPECT_EQ(output->entries().last().message, "kept");
}

TEST(LogOutputTest, StderrLinesAndJournalFields) {
    LogEntry own{QtWarningMsg, "com.vantrelo.Quorvale", "General", "disk full", "a.cpp", 7, "f"};
    LogEntry qt{QtInfoMsg, "", "qt.qpa.xcb", "hello", "", 0, ""};
    LogEntry plain{QtCriticalMsg, "", "default", "broken", "", 0, ""};
    EXPECT_EQ(platform::StderrSystemLog::line(own), "quorvale: warning: [General] disk full\n");
    EXPECT_EQ(platform::StderrSystemLog::line(qt), "quorvale: [qt.qpa.xcb] hello\n");
    EXPECT_EQ(platform::StderrSystemLog::line(plain), "quorvale: error: broken\n");

    EXPECT_EQ(platform::JournalSystemLog::fields(own),
              (QList<QByteArray>{"MESSAGE=disk full", "PRIORITY=4", "SYSLOG_IDENTIFIER=quorvale",
                                 "SUBSYSTEM=com.vantrelo.Quorvale", "CATEGORY=General",
                                 "CODE_FILE=a.cpp", "CODE_LINE=7", "CODE_FUNC=f"}));
    EXPECT_EQ(platform::JournalSystemLog::fields(qt),
              (QList<QByteArray>{"MESSAGE=hello", "PRIORITY=6", "SYSLOG_IDENTIFIER=quorvale",
                                 "QT_CATEGORY=qt.qpa.xcb"}));
}

TEST(LogOutputTest, JournalPassesOnWhatItDoesNotTake) {
    const bool journal = platform::JournalSystemLog::isAvailable();
    for (const bool echo : {false, true}) {
        auto fallback = std::make_shared<platform::FakeSystemLog>();
        platform::JournalSystemLog log(fallback, echo);
        log.write({QtDebugMsg, "", "default", "quorvale unit test entry", "", 0, ""});
        EXPECT_EQ(fallback->entries().size(), echo || !journal ? 1 : 0) << echo;
    }
}

} // namespace
