#include "app/CommandLine.h"

#include <gtest/gtest.h>

using namespace quorvale;
using Action = CommandLine::Action;

namespace {

struct ParseCase {
    QStringList arguments;
    Action action;
    QString path = {};
    QString languages = {};
    QStringList images = {};
    bool windowMode = false;
};

TEST(CommandLineTest, ParsesEveryForm) {
    const ParseCase cases[] = {
        {{}, Action::startApp},
        {{"--help"}, Action::showHelp},
        {{"-h"}, Action::showHelp},
        {{"--version"}, Action::showVersion},
        {{"file", "shot.png"}, Action::recognizeFile, "shot.png"},
        {{"capture"}, Action::capture},
        {{"capture", "--window"}, Action::capture, {}, {}, {}, true},
        {{"clipboard"}, Action::recognizeClipboard},
        {{"ocr", "a.png"}, Action::ocr, {}, {}, {"a.png"}},
        {{"ocr", "--lang", "deu+eng", "a.png", "b.png"},
         Action::ocr,
         {},
         "deu+eng",
         {"a.png", "b.png"}},
        {{"ocr", "--lang=de-DE,en-US", "a.png"}, Action::ocr, {}, "de-DE,en-US", {"a.png"}},
        {{"ocr", "--", "-dash.png"}, Action::ocr, {}, {}, {"-dash.png"}},
    };
    for (const ParseCase& c : cases) {
        const CommandLine line = CommandLine::parse(c.arguments);
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_EQ(line.action, c.action) << line.error.toStdString();
        EXPECT_EQ(line.path, c.path);
        EXPECT_EQ(line.languages, c.languages);
        EXPECT_EQ(line.images, c.images);
        EXPECT_EQ(line.windowMode, c.windowMode);
    }
}

TEST(CommandLineTest, RejectsMalformedArgumentsWithAReason) {
    const QStringList bad[] = {
        {"--bogus"},
        {"file"},
        {"file", "a.png", "b.png"},
        {"file", ""},
        {"capture", "--area"},
        {"ocr"},
        {"ocr", "--lang"},
        {"ocr", "--lang="},
        {"ocr", "--psm", "6", "a.png"},
        {"--help", "extra"},
        {"clipboard", "a.png"},
    };
    for (const QStringList& arguments : bad) {
        const CommandLine line = CommandLine::parse(arguments);
        EXPECT_EQ(line.action, Action::invalid) << arguments.join(' ').toStdString();
        EXPECT_FALSE(line.error.isEmpty());
    }
}

TEST(CommandLineTest, HelpNamesTheCommandsToBindInTheDesktop) {
    const QString help = CommandLine::helpText();
    EXPECT_TRUE(help.contains("quorvale capture\n"));
    EXPECT_TRUE(help.contains("quorvale capture --window\n"));
}

} // namespace
