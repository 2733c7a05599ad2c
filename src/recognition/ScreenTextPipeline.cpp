#include "recognition/ScreenTextPipeline.h"

#include "recognition/BoxEnds.h"
#include "recognition/ChromeTokens.h"
#include "recognition/EdgeStrips.h"
#include "recognition/InvertedPanels.h"
#include "recognition/LineCheck.h"
#include "recognition/MisreadWords.h"
#include "recognition/PageSplit.h"
#include "recognition/QuotePairs.h"
#include "recognition/RuleLines.h"
#include "recognition/ScreenTextPreparation.h"
#include "recognition/ShadedBackgrounds.h"
#include "recognition/SolidMarks.h"
#include "recognition/StageDump.h"
#include "recognition/ThinOutlines.h"
#include "recognition/WordGaps.h"

#include <QCoreApplication>

#include <cmath>

namespace quorvale {

// The stages, in order (QUORVALE_DUMP_STAGES shows the page after each):
//   1. ScreenTextPreparation: grey, dark text on a light page; at the input's size:
//      EdgeStrips (thin bands of title bar or desktop at the edges cleared),
//      InvertedPanels (fills darker than the page holding lighter text turned),
//      ShadedBackgrounds (lighter fills lifted to the page), ThinOutlines (the thin
//      closed lines of rounded buttons and boxed words erased), RuleLines (grid lines,
//      borders, separators erased), BoxEnds (the rounded ends of boxes whose top and
//      bottom were erased), SolidMarks (checkboxes and solid icons cleared);
//      then small pixels enlarged, padded.
//   2. PageSplit: where two engines may share a page with much text.
//   3. The engine reads the page (TextRecognizer::read).
//   4. WordGaps: words the engine joined across a blank as wide as a space split.
//   5. ChromeTokens: unsure words of icons and frame edges dropped.
//   6. LineCheck: underscores, full stops and monospaced spaces checked on the image.
//   7. QuotePairs: backticks the engine read as opening quotes.
//   8. MisreadWords: the grey key names of menu shortcuts, the S of code names.
// The engine's lines are dumped as text after it reads and after WordGaps.
ScreenTextPipeline::Outcome
ScreenTextPipeline::read(platform::TextRecognizer& engine,
                         const platform::TextRecognitionRequest& request, const QImage& image) {
    StageDump dump;
    const ScreenTextPreparation::Prepared prepared =
        ScreenTextPreparation::prepare(image, [&dump](QImage& grey, int pageLevel, int pixelRatio) {
            dump.write(QStringLiteral("grey"), grey);
            if (dump.runs(QStringLiteral("edges"))) {
                EdgeStrips::clear(grey, pageLevel, pixelRatio);
                dump.write(QStringLiteral("edges"), grey);
            }
            InvertedPanels::normalize(grey, pageLevel, pixelRatio);
            dump.write(QStringLiteral("panels"), grey);
            if (dump.runs(QStringLiteral("shading"))) {
                ShadedBackgrounds::flatten(grey, pageLevel, pixelRatio);
                dump.write(QStringLiteral("shading"), grey);
            }
            if (dump.runs(QStringLiteral("outlines"))) {
                ThinOutlines::clear(grey, pageLevel, pixelRatio);
                dump.write(QStringLiteral("outlines"), grey);
            }
            if (dump.runs(QStringLiteral("rules"))) {
                const std::vector<QRect> rules = RuleLines::erase(grey, pixelRatio);
                dump.write(QStringLiteral("rules"), grey);
                if (dump.runs(QStringLiteral("ends"))) {
                    BoxEnds::clear(grey, rules, pixelRatio);
                    dump.write(QStringLiteral("ends"), grey);
                }
            }
            if (dump.runs(QStringLiteral("marks"))) {
                SolidMarks::clear(grey, pageLevel, pixelRatio);
                dump.write(QStringLiteral("marks"), grey);
            }
        });
    dump.write(QStringLiteral("prepared"), prepared.image);
    if (prepared.image.width() > ScreenTextPreparation::kMaxSide ||
        prepared.image.height() > ScreenTextPreparation::kMaxSide) {
        return Outcome::failure(
            {QCoreApplication::translate("ScreenTextPipeline",
                                         "The image is too large to recognise: at most %1 "
                                         "pixels per side")
                 .arg(ScreenTextPreparation::kMaxSide)});
    }
    platform::EnginePage page;
    page.image = prepared.image;
    const qreal pixelRatio = std::max<qreal>(1.0, image.devicePixelRatio());
    page.ppi = int(std::lround(kScreenPpi * pixelRatio * prepared.scale));
    if (engine.partsReadAtOnce() > 1 && !page.image.isNull()) {
        if (const auto cut = PageSplit::balancedCut(page.image, prepared.pageLevel)) {
            const QRect whole = page.image.rect();
            page.parts = {QRect(0, 0, whole.width(), *cut),
                          QRect(0, *cut, whole.width(), whole.height() - *cut)};
        }
    }

    platform::EngineOutcome read = engine.read(request, page);
    if (!read.isSuccess()) {
        return Outcome::failure(read.error());
    }
    dump.write(QStringLiteral("read"), read.value());
    if (dump.runs(QStringLiteral("gaps"))) {
        WordGaps::split(prepared.image, read.value(), [&](const QImage& spaced) {
            platform::EnginePage again{spaced, page.ppi, {}};
            platform::EngineOutcome reread = engine.read(request, again);
            return reread.isSuccess() ? reread.value() : std::vector<platform::EngineLine>();
        });
        dump.write(QStringLiteral("gaps"), read.value());
    }

    if (dump.runs(QStringLiteral("chrome"))) {
        ChromeTokens::drop(read.value());
    }
    const QStringList texts = LineCheck::correct(prepared.image, read.value());
    std::vector<Line> lines;
    for (std::size_t i = 0; i < read.value().size(); ++i) {
        if (!texts[i].isEmpty()) {
            lines.push_back({MisreadWords::restoreSectionSigns(MisreadWords::restoreShortcutKeys(
                                 QuotePairs::restoreBackticks(texts[i]))),
                             prepared.toInput(QRectF(read.value()[i].box))});
        }
    }
    return Outcome::success(std::move(lines));
}

} // namespace quorvale
