#include "recognition/StageDump.h"

#include <QCoreApplication>
#include <QDir>
#include <atomic>

namespace quorvale {

StageDump::StageDump()
    : m_folder(qEnvironmentVariable(kVariable))
    , m_skipped(qEnvironmentVariable(kSkipVariable).split(QLatin1Char(','))) {
    static std::atomic<int> runs = 0;
    if (enabled()) {
        m_run = ++runs;
        QDir().mkpath(m_folder);
    }
}

void StageDump::write(const QString& stage, const QImage& image) {
    if (!enabled() || image.isNull()) {
        return;
    }
    const QString name = QStringLiteral("%1.%2-%3-%4.png")
                             .arg(QCoreApplication::applicationPid())
                             .arg(m_run, 4, 10, QLatin1Char('0'))
                             .arg(m_stage++)
                             .arg(stage);
    image.save(QDir(m_folder).filePath(name));
}

} // namespace quorvale
