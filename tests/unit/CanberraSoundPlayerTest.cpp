#include "platform/linux/CanberraSoundPlayer.h"

#include <QFileInfo>
#include <QSet>
#include <gtest/gtest.h>

namespace quorvale::platform {
namespace {

const QStringList kSoundNames{"Basso", "Blow", "Bottle", "Frog", "Funk",   "Glass",     "Hero",
                              "Morse", "Ping", "Pop",    "Purr", "Sosumi", "Submarine", "Tink"};

TEST(CanberraSoundPlayerTest, EveryNamedSoundHasItsOwnInstalledThemeSound) {
    const auto& events = CanberraSoundPlayer::soundEvents();
    EXPECT_EQ(QStringList(events.keys()), kSoundNames);
    EXPECT_EQ(QSet<QString>(events.cbegin(), events.cend()).size(), kSoundNames.size())
        << "two names would sound alike";
    for (auto it = events.cbegin(); it != events.cend(); ++it) {
        const QString file =
            QStringLiteral("/usr/share/sounds/freedesktop/stereo/%1.oga").arg(it.value());
        EXPECT_TRUE(QFileInfo::exists(file))
            << it.key().toStdString() << " -> " << file.toStdString();
    }
}

TEST(CanberraSoundPlayerTest, KnownNamesAreAcceptedUnknownOnesRefused) {
    CanberraSoundPlayer player;
    for (const QString& name : kSoundNames) {
        EXPECT_TRUE(player.play(name)) << name.toStdString();
    }
    for (const QString name : {"", "tink", "FUNK", "Funk ", "Beep", "dialog-error"}) {
        EXPECT_FALSE(player.play(name)) << '"' << name.toStdString() << '"';
    }
    // Going away with sounds still queued finishes them without hanging or crashing.
}

} // namespace
} // namespace quorvale::platform
