#pragma once

#include "platform/TextRecognizer.h"

#include <QImage>
#include <QString>
#include <QStringList>

namespace quorvale {

// With QUORVALE_DUMP_STAGES set to a folder, writes the page after each stage there
// ("4711.0007-02-rules.png": process 4711, its recognition 7, third stage), so one can see what
// each did (the stages after the engine as text files); QUORVALE_SKIP_STAGES ("rules,chrome")
// leaves stages out, to measure what each gives.
class StageDump {
public:
    static constexpr const char* kVariable = "QUORVALE_DUMP_STAGES";
    static constexpr const char* kSkipVariable = "QUORVALE_SKIP_STAGES";

    StageDump();
    bool enabled() const { return !m_folder.isEmpty(); }
    bool runs(const QString& stage) const { return !m_skipped.contains(stage); }
    void write(const QString& stage, const QImage& image);
    // The engine's lines as text, each word with its box and confidence.
    void write(const QString& stage, const std::vector<platform::EngineLine>& lines);

private:
    QString nextPath(const QString& stage, const char* suffix);

    QString m_folder;
    QStringList m_skipped;
    int m_run = 0;
    int m_stage = 0;
};

} // namespace quorvale
