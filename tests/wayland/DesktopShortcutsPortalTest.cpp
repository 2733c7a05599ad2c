#include "platform/fake/FakePlatform.h"
#include "platform/linux/PortalGlobalShortcuts.h"
#include "platform/linux/PortalScreenCapturePermission.h"
#include "preferences/GeneralSettingsView.h"
#include "preferences/PreferenceManager.h"
#include "preferences/PrimaryButton.h"
#include "preferences/ShortcutsSettingsView.h"
#include "shortcuts/DesktopBoundShortcuts.h"
#include "shortcuts/GlobalShortcuts.h"
#include "support/Wait.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace quorvale;
using GlobalShortcuts::Name;
namespace DesktopBound = GlobalShortcuts::DesktopBound;

namespace {

// The portal backend against the stand-in portal on a bus of its own (no compositor): what
// the desktop assigns reaches the settings pane, its presses reach the named actions, and a
// desktop that binds nothing leaves the commands to bind by hand.
class DesktopShortcutsPortal : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty()) {
            GTEST_SKIP() << "dbus-daemon is not installed";
        }
        // No service folders: nothing on this bus starts the machine's real portal.
        const QString address = "unix:path=" + dir.filePath("bus");
        QFile config(dir.filePath("bus.conf"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(
            ("<busconfig><type>session</type><listen>" + address +
             "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
             "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
             "<allow own=\"*\"/></policy></busconfig>")
                .toUtf8());
        config.close();
        daemon.start("dbus-daemon",
                     {"--config-file=" + config.fileName(), "--nofork", "--nopidfile"});
        ASSERT_TRUE(test::waitUntil(
            [&] {
                if (QDBusConnection::connectToBus(address, busName).isConnected()) {
                    return true;
                }
                QDBusConnection::disconnectFromBus(busName);
                return false;
            },
            10000));
        environment.insert("DBUS_SESSION_BUS_ADDRESS", address);
        GlobalShortcuts::detail::resetForTesting();
        PreferenceManager::setSharedForTesting(nullptr);
        fakes.hotKeys->available = false;
        installPortal();
        for (const Name* name : names()) {
            GlobalShortcuts::onKeyUp(*name, [this, raw = name->rawValue] { ++actions[raw]; });
        }
    }

    void TearDown() override {
        GlobalShortcuts::detail::resetForTesting();
        PreferenceManager::setSharedForTesting(nullptr);
        if (standIn.state() != QProcess::NotRunning) {
            standIn.kill();
            standIn.waitForFinished();
        }
        // What listens on the bus goes while the bus is still ours: Qt's bus thread crashes
        // unhooking an object from a connection that was already closed.
        platform::install(platform::Platform{});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QDBusConnection::disconnectFromBus(busName);
        daemon.kill();
        daemon.waitForFinished();
    }

    // A backend asks once per run: each case gets a fresh one.
    void installPortal() const {
        platform::Platform withPortal = platform::current();
        withPortal.desktopShortcuts =
            std::make_shared<platform::PortalGlobalShortcuts>(QDBusConnection(busName));
        platform::install(std::move(withPortal));
    }

    static std::vector<const Name*> names() {
        return {&Name::captureAndCopy(), &Name::captureAndCopyWindowMode(),
                &Name::captureFromFile(), &Name::captureFromPhotos()};
    }

    void startStandIn(const QString& shortcuts, const QStringList& stored = {}) {
        standIn.setProcessEnvironment(environment);
        standIn.start(QUORVALE_TEST_TOOLS_DIR "/quorvale-stand-in-portal",
                      QStringList{"2", shortcuts} + stored);
        ASSERT_TRUE(test::waitUntil([&] { return standIn.canReadLine(); }, 10000));
        ASSERT_EQ(standIn.readLine().trimmed(), "ready");
    }

    // Asks the desktop through the shortcut layer, as the app does, and waits for its answer.
    void request() {
        std::vector<std::pair<Name, QString>> titled;
        for (const Name* name : names()) {
            titled.emplace_back(*name, "Title of " + name->rawValue);
        }
        DesktopBound::request(titled, [this] { ++refusals; });
        EXPECT_EQ(DesktopBound::state(), DesktopBound::State::asking);
        ASSERT_TRUE(test::waitUntil(
            [] { return DesktopBound::state() != DesktopBound::State::asking; }, 10000));
    }

    // A name of its own per case: a closed connection's name is never taken again.
    inline static int cases = 0;
    const QString busName = QStringLiteral("desktop-shortcuts-portal-test-%1").arg(++cases);
    QTemporaryDir dir;
    QProcess daemon;
    QProcess standIn;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    platform::FakePlatform fakes;
    std::map<QString, int> actions;
    int refusals = 0;
};

class AssignedKeys : public DesktopShortcutsPortal, public testing::WithParamInterface<QString> {};

TEST_P(AssignedKeys, ReachThePaneAndAPressRunsItsNamedAction) {
    startStandIn(GetParam());
    ShortcutsSettingsView pane;
    request();
    ASSERT_EQ(DesktopBound::state(), DesktopBound::State::bound);
    QStringList asked;
    while (standIn.canReadLine()) {
        asked << QString::fromUtf8(standIn.readLine()).trimmed();
    }
    // The stored combinations go along as proposals; the desktop's own keys come back.
    EXPECT_EQ(
        asked,
        QStringList({"bind captureAndCopy LOGO+ALT+p", "bind captureAndCopyWindowMode LOGO+ALT+o",
                     "bind captureFromFile LOGO+ALT+i", "bind captureFromPhotos LOGO+ALT+u"}));
    QStringList shown;
    for (auto* label : pane.findChild<QWidget*>("desktopShortcuts")->findChildren<QLabel*>()) {
        shown << label->text();
    }
    EXPECT_TRUE(shown.contains("Window Mode") && shown.contains("Ctrl+Shift+F2") &&
                shown.contains("Ctrl+Shift+F4"))
        << shown.join('|').toStdString();
    EXPECT_FALSE(pane.findChild<QWidget*>("desktopShortcuts")->isHidden());
    EXPECT_FALSE(pane.recorders().front()->isVisibleTo(&pane)) << "our keys are not the desktop's";
    EXPECT_FALSE(pane.findChild<QLabel*>("shortcutsUnavailable")->isVisibleTo(&pane));

    standIn.write("activate captureAndCopyWindowMode\n");
    ASSERT_TRUE(test::waitUntil([&] { return !actions.empty(); }, 10000));
    EXPECT_EQ(actions, (std::map<QString, int>{{"captureAndCopyWindowMode", 1}}));
    EXPECT_EQ(refusals, 0);
}

// Newer desktops bind what BindShortcuts asks; Plasma 5.27 what CreateSession listed.
INSTANTIATE_TEST_SUITE_P(Binding, AssignedKeys, testing::Values("bind", "bind-created"));

TEST_F(DesktopShortcutsPortal, ADesktopThatBindsNothingLeavesTheCommandsToBindByHand) {
    for (const QString mode : {"bind-nothing", "absent", "no portal at all"}) {
        SCOPED_TRACE(mode.toStdString());
        GlobalShortcuts::detail::resetForTesting();
        installPortal();
        refusals = 0;
        if (mode != "no portal at all") {
            startStandIn(mode);
        }
        ShortcutsSettingsView pane;
        request();
        EXPECT_EQ(DesktopBound::state(), DesktopBound::State::refused);
        EXPECT_EQ(refusals, 1) << "the user is told once";
        EXPECT_FALSE(DesktopBound::trigger(Name::captureAndCopy()));
        EXPECT_TRUE(pane.findChild<QLabel*>("shortcutsUnavailable")->isVisibleTo(&pane));
        EXPECT_TRUE(pane.findChild<QLabel*>("bindableCommands")->isVisibleTo(&pane));
        EXPECT_FALSE(pane.findChild<QWidget*>("desktopShortcuts")->isVisibleTo(&pane));
        standIn.kill();
        standIn.waitForFinished();
    }
}

// The portal's permission store on the same bus: a kept refusal shows as denied, and asking
// again makes the store forget it; without a store the user gets the command to run.
TEST_F(DesktopShortcutsPortal, AScreenshotRefusalTheStoreKeepsShowsAndCanBeForgotten) {
    const struct {
        const char* stored; // null: no store at all
        bool granted;
    } cases[] = {{"no", false}, {"yes", true}, {"", true}, {nullptr, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "no store");
        if (c.stored) {
            startStandIn("absent", {c.stored});
        }
        platform::PortalScreenCapturePermission permission(platform::DesktopFamily::gnome,
                                                           QDBusConnection(busName));
        bool answered = false;
        permission.refreshAccess([&] { answered = true; });
        ASSERT_TRUE(test::waitUntil([&] { return answered; }, 10000));
        EXPECT_EQ(permission.preflightAccess(), c.granted);

        std::optional<std::optional<QString>> forgot;
        ASSERT_TRUE(permission.forgetRefusal([&](auto failure) { forgot = failure; }));
        ASSERT_TRUE(test::waitUntil([&] { return forgot.has_value(); }, 10000));
        EXPECT_TRUE(permission.preflightAccess());
        if (c.stored) {
            EXPECT_FALSE(*forgot) << forgot->value_or("").toStdString();
        } else {
            ASSERT_TRUE(*forgot);
            EXPECT_TRUE((*forgot)->contains(
                "gdbus call --session --dest org.freedesktop.impl.portal.PermissionStore"))
                << (*forgot)->toStdString();
        }
        standIn.kill();
        standIn.waitForFinished();
    }

    // The settings pane asks when it opens and offers the same way out.
    startStandIn("absent", {"no"});
    platform::Platform withStore = platform::current();
    withStore.screenCapturePermission = std::make_shared<platform::PortalScreenCapturePermission>(
        platform::DesktopFamily::gnome, QDBusConnection(busName));
    platform::install(std::move(withStore));
    GeneralSettingsView pane(PreferenceManager::shared(), {}, {});
    pane.show();
    ASSERT_TRUE(
        test::waitUntil([&] { return pane.permissionStatus()->text().contains("Denied"); }, 10000));
    ASSERT_TRUE(pane.openSettingsButton()->isVisible());
    EXPECT_EQ(pane.openSettingsButton()->text(), "Ask Again");
    pane.openSettingsButton()->click();
    ASSERT_TRUE(test::waitUntil([&] { return standIn.canReadLine(); }, 10000));
    EXPECT_EQ(standIn.readLine().trimmed(), "forgotten");
    EXPECT_TRUE(test::waitUntil([&] { return pane.permissionStatus()->text().contains("Granted"); },
                                10000));
    EXPECT_FALSE(pane.openSettingsButton()->isVisible());
}

} // namespace
