#pragma once

#include "platform/SoundPlayer.h"

#include <QStringList>

namespace quorvale::platform {

class FakeSoundPlayer : public SoundPlayer {
public:
    bool play(const QString& name) override {
        requested.append(name);
        if (!knownSounds.contains(name)) {
            return false;
        }
        played.append(name);
        return true;
    }

    QStringList knownSounds{"Basso", "Blow", "Bottle", "Frog", "Funk",   "Glass",     "Hero",
                            "Morse", "Ping", "Pop",    "Purr", "Sosumi", "Submarine", "Tink"};
    QStringList requested;
    QStringList played;
};

} // namespace quorvale::platform
