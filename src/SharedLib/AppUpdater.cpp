#include "SharedLib/AppUpdater.h"

namespace quorvale {

AppUpdater& AppUpdater::shared() {
    static AppUpdater* instance = new AppUpdater;
    return *instance;
}

AppUpdater::AppUpdater() = default;

void AppUpdater::checkForUpdates() {}

} // namespace quorvale
