#pragma once

#include "platform/Platform.h"

#include <functional>

namespace quorvale {

// Runs whatever the command line asks for; the program's whole life after main().
class Launcher {
public:
    struct PlatformOptions {
        // Called from any thread with a sentence for the user.
        std::function<void(const QString&)> notify;
        // A one-off command may read a page on two cores at once.
        bool twoEnginesPerPage = false;
    };
    using PlatformFactory = std::function<platform::Platform(const PlatformOptions&)>;

    static int run(int argc, char** argv, const PlatformFactory& makePlatform);
};

} // namespace quorvale
