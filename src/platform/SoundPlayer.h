#pragma once

#include <QString>

namespace quorvale::platform {

// Plays one of the named system sounds ("Funk", "Tink", ...).
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // False when the name is not a known sound; nothing plays then.
    virtual bool play(const QString& name) = 0;
};

} // namespace quorvale::platform
