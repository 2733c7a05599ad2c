#include "app/Launcher.h"
#include "platform/linux/LinuxPlatform.h"

int main(int argc, char** argv) {
    return quorvale::Launcher::run(argc, argv, [](const quorvale::Launcher::PlatformOptions& o) {
        return quorvale::platform::makeLinuxPlatform({o.notify, o.twoEnginesPerPage});
    });
}
