#include "platform/linux/QtMainQueue.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <cmath>

namespace quorvale::platform {

void QtMainQueue::async(std::function<void()> block) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(block), Qt::QueuedConnection);
}

void QtMainQueue::asyncAfter(double seconds, std::function<void()> block) {
    const int milliseconds = int(std::lround(std::max(0.0, seconds) * 1000.0));
    // Timers must be started on the thread that owns them.
    async([milliseconds, block = std::move(block)] {
        QTimer::singleShot(milliseconds, Qt::PreciseTimer, QCoreApplication::instance(), block);
    });
}

bool QtMainQueue::isMainThread() const {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

} // namespace quorvale::platform
