#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace quorvale {

// Turns SIGTERM, SIGINT and SIGHUP (log-out, a service manager stopping the app, Ctrl+C)
// into an orderly quit on the GUI thread, so the usual clean-up runs. A second signal while
// that clean-up runs ends the process at once. One instance at a time.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(std::function<void()> quit, QObject* parent = nullptr);
    // Gives the signals their default meaning back.
    ~QuitSignals() override;

private:
    std::function<void()> m_quit;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace quorvale
