#pragma once

#include <QObject>

namespace quorvale {

// The one updater of the process. On Linux it only announces releases; it never
// downloads or installs anything.
class AppUpdater : public QObject {
    Q_OBJECT
public:
    static AppUpdater& shared();

    // A user-initiated check; its outcome is shown to the user.
    void checkForUpdates();

private:
    AppUpdater();
};

} // namespace quorvale
