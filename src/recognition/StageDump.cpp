#include "recognition/StageDump.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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

QString StageDump::nextPath(const QString& stage, const char* suffix) {
    const QString name = QStringLiteral("%1.%2-%3-%4.%5")
                             .arg(QCoreApplication::applicationPid())
                             .arg(m_run, 4, 10, QLatin1Char('0'))
                             .arg(m_stage++, 2, 10, QLatin1Char('0'))
                             .arg(stage, QLatin1String(suffix));
    return QDir(m_folder).filePath(name);
}

void StageDump::write(const QString& stage, const QImage& image) {
    if (enabled() && !image.isNull()) {
        image.save(nextPath(stage, "png"));
    }
}

void StageDump::write(const QString& stage, const std::vector<platform::EngineLine>& lines) {
    if (!enabled()) {
        return;
    }
    QFile file(nextPath(stage, "txt"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        return;
    }
    QString text;
    for (const platform::EngineLine& line : lines) {
        text += line.text + QLatin1Char('\n');
        for (const platform::EngineWord& word : line.words) {
            text += QStringLiteral("  %1 %2,%3 %4x%5 %6%\n")
                        .arg(word.text)
                        .arg(word.box.x())
                        .arg(word.box.y())
                        .arg(word.box.width())
                        .arg(word.box.height())
                        .arg(qRound(word.confidence));
            for (const platform::EngineSymbol& symbol : word.symbols) {
                text += QStringLiteral("    %1 %2-%3 %4%\n")
                            .arg(symbol.text)
                            .arg(symbol.box.left())
                            .arg(symbol.box.right())
                            .arg(qRound(symbol.confidence));
            }
        }
    }
    file.write(text.toUtf8());
}

} // namespace quorvale
