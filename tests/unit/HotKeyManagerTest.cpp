#include "app/HotKeyManager.h"
#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

using quorvale::HotKeyManager;
using Modifiers = HotKeyManager::Modifiers;

namespace {

TEST(HotKeyManager, RunsItsHandlerOnPressAndUnregistersWhenDestroyed) {
    quorvale::platform::FakePlatform fakes;
    int runs = 0;
    {
        HotKeyManager manager(35, {Modifiers::command(), Modifiers::shift()}, [&] { ++runs; });
        EXPECT_FALSE(manager.hotKeyRef());
        ASSERT_EQ(manager.registerHotKey(), quorvale::platform::GlobalHotKeys::kNoError);
        EXPECT_TRUE(manager.hotKeyRef());
        EXPECT_NE(manager.id(), 0u);
        fakes.hotKeys->pressAndRelease(35, 0x300); // the modifiers' Carbon bits
        EXPECT_EQ(runs, 1);
        fakes.hotKeys->pressAndRelease(35, 0x100);
        EXPECT_EQ(runs, 1);
    }
    EXPECT_TRUE(fakes.hotKeys->registrations.empty());
    EXPECT_TRUE(fakes.hotKeys->handlers.empty());

    fakes.hotKeys->takenByOthers.insert({35, 0x100});
    HotKeyManager refused(35, Modifiers::command(), [&] { ++runs; });
    EXPECT_EQ(refused.registerHotKey(), quorvale::platform::GlobalHotKeys::kHotKeyExists);
    EXPECT_FALSE(refused.hotKeyRef());
}

} // namespace
