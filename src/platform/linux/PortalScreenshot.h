#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace quorvale::platform {

// One request to the desktop portal's Screenshot interface. The answer comes as a signal of a
// request object, so it never blocks the GUI thread; the file the portal wrote is read at once
// and removed.
class PortalScreenshot : public QObject {
    Q_OBJECT
public:
    struct Outcome {
        enum class Status { taken, declined, failed };
        Status status = Status::failed;
        QImage image;      // taken
        QString reason;    // failed: for the log and the user
        uint response = 0; // declined: 1 the user cancelled the desktop's dialog, 2 otherwise
    };
    using Completion = std::function<void(Outcome)>;

    // interactive: the desktop lets the user choose what to take (a window, an area), where it
    // can. The completion runs once, on the GUI thread.
    static void take(bool interactive, Completion completion);

private:
    PortalScreenshot() = default;
    static void read(const QString& path, Completion completion);
};

} // namespace quorvale::platform
