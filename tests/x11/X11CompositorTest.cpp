#include "platform/linux/X11Compositor.h"
#include "support/ForeignClient.h"
#include "support/InsideXvfb.h"
#include "support/Wait.h"

#include <gtest/gtest.h>
#include <optional>

using namespace quorvale;

namespace {

TEST(X11Compositor, RunsExactlyWhileSomeoneOwnsTheScreensCompositingSelection) {
    const platform::X11Compositor compositor;
    EXPECT_FALSE(compositor.isRunning()) << "a bare Xvfb has no compositor";

    std::optional<test::ForeignClient> manager(qEnvironmentVariable("DISPLAY"));
    ASSERT_TRUE(manager->isConnected());
    ASSERT_TRUE(manager->ownSelection("_NET_WM_CM_S1")) << "another screen's selection";
    EXPECT_FALSE(compositor.isRunning());
    ASSERT_TRUE(manager->ownSelection("_NET_WM_CM_S0"));
    EXPECT_TRUE(compositor.isRunning());

    // The selection goes with the manager's connection: a compositor that quits is seen.
    manager.reset();
    EXPECT_TRUE(test::waitUntil([&] { return !compositor.isRunning(); }));
}

} // namespace

int main(int argc, char** argv) {
    return quorvale::test::runTestsInsideXvfb(argc, argv);
}
