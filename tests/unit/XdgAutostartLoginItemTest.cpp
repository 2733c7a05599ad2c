#include "platform/linux/XdgAutostartLoginItem.h"
#include "support/ScopedEnv.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using quorvale::platform::LoginItemService;
using quorvale::platform::XdgAutostartLoginItem;

namespace {

class XdgAutostartLoginItemTest : public ::testing::Test {
protected:
    QString folder() const { return dir.filePath("autostart"); }
    QString entry() const { return folder() + "/com.vantrelo.Quorvale.desktop"; }
    void writeEntry(const QByteArray& content) {
        QDir().mkpath(folder());
        QFile file(entry());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QTemporaryDir dir;
    XdgAutostartLoginItem item{folder(), "\"/opt/quorvale/bin/quorvale\""};
};

TEST_F(XdgAutostartLoginItemTest, StatusFollowsTheEntryFile) {
    struct Case {
        const char* name;
        std::optional<QByteArray> content;
        LoginItemService::Status expected;
    };
    const Case cases[] = {
        {"no file", std::nullopt, LoginItemService::notRegistered},
        {"plain entry", "[Desktop Entry]\nType=Application\nExec=q\n", LoginItemService::enabled},
        {"hidden", "[Desktop Entry]\nExec=q\nHidden=true\n", LoginItemService::notRegistered},
        {"hidden with spaces", "[Desktop Entry]\nHidden = true\n", LoginItemService::notRegistered},
        {"not hidden", "[Desktop Entry]\nHidden=false\n", LoginItemService::enabled},
        {"hidden in another group", "[Desktop Entry]\nExec=q\n[Desktop Action x]\nHidden=true\n",
         LoginItemService::enabled},
        {"switched off in GNOME", "[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n",
         LoginItemService::notRegistered},
        {"empty file", "", LoginItemService::enabled},
    };
    for (const Case& c : cases) {
        QFile::remove(entry());
        if (c.content) {
            writeEntry(*c.content);
        }
        EXPECT_EQ(item.status(), c.expected) << c.name;
    }
}

TEST_F(XdgAutostartLoginItemTest, RegisterWritesAStartableEntry) {
    EXPECT_FALSE(item.registerItem());
    EXPECT_EQ(item.status(), LoginItemService::enabled);

    QSettings parsed(entry(), QSettings::IniFormat);
    parsed.beginGroup("Desktop Entry");
    EXPECT_EQ(parsed.value("Type"), "Application");
    EXPECT_EQ(parsed.value("Name"), "Quorvale");
    EXPECT_EQ(parsed.value("X-GNOME-Autostart-enabled"), "true");
    QFile file(entry());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(content.contains("\nExec=\"/opt/quorvale/bin/quorvale\"\n"));
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"com.vantrelo.Quorvale.desktop"});

    // Registering again over an entry the user switched off turns it back on.
    writeEntry("[Desktop Entry]\nExec=q\nHidden=true\n");
    EXPECT_FALSE(item.registerItem());
    EXPECT_EQ(item.status(), LoginItemService::enabled);
}

TEST_F(XdgAutostartLoginItemTest, UnregisterRemovesTheEntryAndToleratesItsAbsence) {
    ASSERT_FALSE(item.registerItem());
    EXPECT_FALSE(item.unregisterItem());
    EXPECT_FALSE(QFile::exists(entry()));
    EXPECT_EQ(item.status(), LoginItemService::notRegistered);
    EXPECT_FALSE(item.unregisterItem()) << "a missing entry is already unregistered";
}

TEST_F(XdgAutostartLoginItemTest, FailuresComeBackAsDescriptions) {
    // A file where the folder should be: nothing can be created below it, even by root.
    QFile blocker(folder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const std::optional<QString> registerError = item.registerItem();
    ASSERT_TRUE(registerError);
    EXPECT_TRUE(registerError->contains(folder())) << registerError->toStdString();
    EXPECT_EQ(item.status(), LoginItemService::notRegistered);
    QFile::remove(folder());

    // A non-empty folder in the entry's place cannot be removed as a file.
    QDir().mkpath(entry() + "/inside");
    const std::optional<QString> unregisterError = item.unregisterItem();
    ASSERT_TRUE(unregisterError);
    EXPECT_TRUE(unregisterError->contains(entry())) << unregisterError->toStdString();

    XdgAutostartLoginItem withoutProgram(folder(), QString());
    EXPECT_TRUE(withoutProgram.registerItem());
}

TEST_F(XdgAutostartLoginItemTest, ExecArgumentsAreQuotedAndEscaped) {
    struct Case {
        QString argument;
        QString expected;
    };
    const Case cases[] = {
        {"/usr/bin/quorvale", R"("/usr/bin/quorvale")"},
        {"/home/me/My Apps/quorvale", R"("/home/me/My Apps/quorvale")"},
        {R"(/tmp/a"b)", R"("/tmp/a\\"b")"},
        {"/tmp/$HOME`x`", R"("/tmp/\\$HOME\\`x\\`")"},
        {R"(/tmp/back\slash)", R"("/tmp/back\\\\slash")"},
        {"/tmp/100%", R"("/tmp/100%%")"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(XdgAutostartLoginItem::quoteExecArgument(c.argument), c.expected)
            << c.argument.toStdString();
    }
}

TEST_F(XdgAutostartLoginItemTest, DefaultFolderFollowsXdgConfigHome) {
    const quorvale::test::ScopedEnv config("XDG_CONFIG_HOME", dir.path().toUtf8());
    EXPECT_EQ(XdgAutostartLoginItem::defaultAutostartFolder(), dir.path() + "/autostart");
    EXPECT_TRUE(XdgAutostartLoginItem::defaultExecCommand().startsWith('"'));
}

} // namespace
