#include "platform/fake/FakePlatform.h"
#include "shortcuts/GlobalShortcuts.h"
#include "shortcuts/ModifierFlags.h"

#include <gtest/gtest.h>

using namespace GlobalShortcuts;
namespace flags = GlobalShortcuts::ModifierFlags;

namespace {

class ShortcutModel : public ::testing::Test {
protected:
    void SetUp() override { detail::resetForTesting(); }
    void TearDown() override { detail::resetForTesting(); }

    void store(const QString& raw, const QVariant& value) {
        fakes.defaults->setObject(value, kKeyPrefix + raw);
    }

    quorvale::platform::FakePlatform fakes;
};

TEST(ModifierConversion, MapsExactlyTheFiveModifiersBothWays) {
    struct Case {
        qint64 carbon;
        quint64 flags;
    } cases[] = {
        {0x100, 0x100000},   {0x200, 0x20000},  {0x800, 0x80000},    {0x1000, 0x40000},
        {0x20000, 0x800000}, {0x900, 0x180000}, {0x21B00, 0x9E0000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(flags::carbonToFlags(c.carbon), c.flags) << c.carbon;
        EXPECT_EQ(flags::flagsToCarbon(c.flags), c.carbon) << c.flags;
    }
    // Caps Lock, numeric pad and any stray bit are dropped.
    EXPECT_EQ(flags::flagsToCarbon(flags::kCapsLock | flags::kNumericPad | 0x1), 0);
    EXPECT_EQ(flags::normalizedCarbon(0x900 | 0x400 | 0x1 | 0x4000), 0x900);
}

TEST(ShortcutValue, ConstructorsNormaliseAndEventsDropFn) {
    EXPECT_EQ(Shortcut(35, 0x900 | 0x400).carbonModifiers, 0x900);
    const Shortcut fromKey(Key::p(), flags::kCommand | flags::kOption | flags::kCapsLock);
    EXPECT_EQ(fromKey, Shortcut(35, 0x900));
    EXPECT_EQ(fromKey.modifiers(), flags::kCommand | flags::kOption);
    EXPECT_EQ(fromKey.key(), Key::p());

    for (const auto type : {KeyEvent::Type::keyDown, KeyEvent::Type::keyUp}) {
        const auto shortcut = Shortcut::fromEvent({type, 96, flags::kFunction | flags::kShift});
        ASSERT_TRUE(shortcut);
        EXPECT_EQ(*shortcut, Shortcut(96, 0x200));
    }
    EXPECT_FALSE(Shortcut::fromEvent({KeyEvent::Type::other, 35, flags::kCommand}));
    // Set semantics: equal shortcuts hash alike.
    EXPECT_EQ(std::hash<Shortcut>()(Shortcut(35, 0x900)), std::hash<Shortcut>()(fromKey));
}

TEST(StoredForm, EncodesTheDefaultAsTheStoreExpects) {
    EXPECT_EQ(Shortcut(35, 0x900).toJson(), R"({"carbonKeyCode":35,"carbonModifiers":2304})");
}

TEST(StoredForm, ReadsOnlyTwoIntegerMembers) {
    struct Case {
        const char* json;
        std::optional<std::pair<qint64, qint64>> expected;
    } cases[] = {
        {R"({"carbonKeyCode":35,"carbonModifiers":2304})", {{35, 2304}}},
        {R"({"carbonModifiers":2304,"carbonKeyCode":35})", {{35, 2304}}},
        // Taken as stored: no normalisation on reading.
        {R"({"carbonKeyCode":35,"carbonModifiers":3})", {{35, 3}}},
        {R"({"carbonKeyCode":35,"carbonModifiers":2304,"extra":"kept out"})", {{35, 2304}}},
        {R"({"carbonKeyCode":35})", std::nullopt},
        {R"({"carbonKeyCode":"35","carbonModifiers":2304})", std::nullopt},
        {R"({"carbonKeyCode":35.5,"carbonModifiers":2304})", std::nullopt},
        {R"({"carbonKeyCode":null,"carbonModifiers":2304})", std::nullopt},
        {R"({"carbonKeyCode":true,"carbonModifiers":2304})", std::nullopt},
        {R"([35,2304])", std::nullopt},
        {R"({"carbonKeyCode":35,"carbonModifiers":)", std::nullopt},
        {"", std::nullopt},
        {"not json", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto decoded = Shortcut::fromJson(c.json);
        ASSERT_EQ(decoded.has_value(), c.expected.has_value()) << c.json;
        if (decoded) {
            EXPECT_EQ(decoded->carbonKeyCode, c.expected->first) << c.json;
            EXPECT_EQ(decoded->carbonModifiers, c.expected->second) << c.json;
        }
    }
}

TEST_F(ShortcutModel, RoundTripsThroughTheStore) {
    const Name name(QStringLiteral("roundTrip"));
    for (const Shortcut& shortcut : {Shortcut(35, 0x900), Shortcut(122, 0), Shortcut(0, 0x21B00)}) {
        setShortcut(shortcut, name);
        EXPECT_EQ(fakes.defaults->objectForKey("GlobalShortcuts_roundTrip").typeId(),
                  QMetaType::QString);
        EXPECT_EQ(getShortcut(name), shortcut);
    }
}

TEST_F(ShortcutModel, OnlyAStringValueReadsAsAShortcut) {
    const Name name(QStringLiteral("typed"));
    const QVariant values[] = {
        QVariant(false),
        QVariant(true),
        QVariant(35),
        QVariant(QStringList{"x"}),
        QVariant(QStringLiteral("{}")),
        QVariant(QVariantMap{{"carbonKeyCode", 35}, {"carbonModifiers", 2304}})};
    for (const QVariant& value : values) {
        store("typed", value);
        EXPECT_FALSE(getShortcut(name)) << value.typeName();
        // Left in the store untouched.
        EXPECT_EQ(fakes.defaults->objectForKey("GlobalShortcuts_typed"), value);
    }
}

} // namespace
