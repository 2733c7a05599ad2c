#include "app/HotKeyManager.h"
#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

using quorvale::HotKeyManager;
using Modifiers = HotKeyManager::Modifiers;

namespace {

TEST(HotKeyManagerModifiers, BehavesAsAnOptionSet) {
    const Modifiers commandOption{Modifiers::command(), Modifiers::option()};
    EXPECT_EQ(commandOption.rawValue, 0x900u);
    EXPECT_TRUE(Modifiers{}.isEmpty());
    EXPECT_EQ(commandOption.unionWith(Modifiers::shift()).rawValue, 0xB00u);
    EXPECT_EQ(commandOption.intersection(Modifiers::option()), Modifiers::option());
    EXPECT_EQ(commandOption.symmetricDifference(Modifiers{Modifiers::option(), Modifiers::shift()}),
              (Modifiers{Modifiers::command(), Modifiers::shift()}));
    EXPECT_TRUE(Modifiers::command().isSubset(commandOption));
    EXPECT_TRUE(commandOption.isSuperset(Modifiers::option()));
    EXPECT_TRUE(commandOption.isDisjoint(Modifiers::control()));
    Modifiers edited = commandOption;
    edited.insert(Modifiers::control());
    edited.remove(Modifiers::command());
    EXPECT_EQ(edited, (Modifiers{Modifiers::option(), Modifiers::control()}));
    edited.subtract(edited);
    EXPECT_TRUE(edited.isEmpty());
}

TEST(HotKeyManager, RunsItsHandlerOnPressAndUnregistersWhenDestroyed) {
    quorvale::platform::FakePlatform fakes;
    int runs = 0;
    {
        HotKeyManager manager(35, {Modifiers::command(), Modifiers::shift()}, [&] { ++runs; });
        EXPECT_FALSE(manager.hotKeyRef());
        ASSERT_EQ(manager.registerHotKey(), quorvale::platform::GlobalHotKeys::kNoError);
        EXPECT_TRUE(manager.hotKeyRef());
        EXPECT_NE(manager.id(), 0u);
        fakes.hotKeys->pressAndRelease(35, 0x300);
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
