#include "recognition/ScreenTextPipeline.h"

#include "platform/fake/FakeTextRecognizer.h"
#include "recognition/StageDump.h"
#include "support/ScopedEnv.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quorvale {
namespace {

QImage screen() {
    QImage image(60, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

TEST(ScreenTextPipelineTest, TheDumpSwitchWritesEachStageInOrderAndSkipsWhatItIsTold) {
    QTemporaryDir folder;
    const test::ScopedEnv dump(StageDump::kVariable, folder.path().toUtf8());
    platform::FakeTextRecognizer engine;
    engine.outcome = platform::FakeTextRecognizer::lines({"text"});
    ASSERT_TRUE(ScreenTextPipeline::read(engine, {}, screen()).isSuccess());
    QStringList stages;
    for (const QString& file : QDir(folder.path()).entryList(QDir::Files, QDir::Name)) {
        stages << file.section('-', 2).chopped(4);
    }
    EXPECT_EQ(stages, QStringList({"grey", "edges", "panels", "shading", "outlines", "rules",
                                   "ends", "marks", "prepared", "read", "gaps"}));

    const test::ScopedEnv skip(StageDump::kSkipVariable, "rules,shading");
    QTemporaryDir second;
    const test::ScopedEnv again(StageDump::kVariable, second.path().toUtf8());
    ASSERT_TRUE(ScreenTextPipeline::read(engine, {}, screen()).isSuccess());
    EXPECT_EQ(QDir(second.path()).entryList(QDir::Files).size(), 8);
}

} // namespace
} // namespace quorvale
