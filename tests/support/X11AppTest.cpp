#include "support/X11AppTest.h"

#include "support/Wait.h"

#include <QRegularExpression>

namespace quorvale::test {

void X11AppTest::startQuietApp() {
    ASSERT_TRUE(session.writeQuietDefaults());
    session.setEnvironment("QT_LOGGING_RULES", "com.vantrelo.Quorvale.Debug.debug=true");
    ASSERT_TRUE(session.startApp());
}

bool X11AppTest::waitFor(const QString& text, int times, int timeoutMs) const {
    return waitUntil([&] { return count(text) >= times; }, timeoutMs);
}

QString X11AppTest::lastTraceDetail(const QString& event) const {
    const QRegularExpression line("\\[Debug\\] capture " + event + " [0-9.]+ ?(\\S*)\\n");
    QString detail;
    for (const auto& match : line.globalMatch(session.appErrors())) {
        detail = match.captured(1);
    }
    return detail;
}

void X11AppTest::beginSelection(bool windowMode) {
    const int started = traceCount("startup-done");
    QStringList arguments{"capture"};
    if (windowMode) {
        arguments << "--window";
    }
    const CommandOutput result = session.runQuorvale(arguments);
    ASSERT_EQ(result.exitCode, 0) << result.standardError.toStdString();
    ASSERT_TRUE(waitForTrace("startup-done", started + 1));
}

void X11AppTest::drag(QPoint from, QPoint to) {
    const QPoint middle = (from + to) / 2;
    ASSERT_TRUE(session.xdotool({"mousemove", QString::number(from.x()), QString::number(from.y()),
                                 "mousedown", "1", "mousemove", QString::number(middle.x()),
                                 QString::number(middle.y()), "mousemove", QString::number(to.x()),
                                 QString::number(to.y()), "mouseup", "1"}));
}

void X11AppTest::expectClipboardSoon(const QString& expected) {
    EXPECT_TRUE(waitUntil([&] { return session.clipboardText() == expected; }, 30000))
        << "clipboard: " << session.clipboardText().toStdString();
}

} // namespace quorvale::test
