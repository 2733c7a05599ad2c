#include "platform/linux/X11Clipboard.h"
#include "app/ClipboardImageReader.h"
#include "platform/fake/FakePlatform.h"
#include "support/ForeignClient.h"
#include "support/InsideXvfb.h"
#include "support/TextImageRenderer.h"
#include "support/Wait.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <optional>

using namespace quorvale;

namespace {

// Tells the test while a read is waiting for the owner.
class WatchedClipboard : public platform::X11Clipboard {
public:
    WatchedClipboard()
        : X11Clipboard(1000) {}
    Offered fetch(const Pick& pick) const override {
        fetching = true;
        Offered offered = X11Clipboard::fetch(pick);
        fetching = false;
        return offered;
    }
    mutable std::atomic<bool> fetching = false;
};

std::optional<ClipboardImageReader::Outcome>
readClipboard(platform::FakePlatform& fakes, const std::shared_ptr<WatchedClipboard>& clipboard,
              int* ticksWhileFetching) {
    QTimer ticker;
    *ticksWhileFetching = 0;
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { *ticksWhileFetching += clipboard->fetching; });
    ticker.start(10);
    std::optional<ClipboardImageReader::Outcome> outcome;
    ClipboardImageReader::read(clipboard, [&](const auto& o) { outcome = o; });
    test::waitUntil(
        [&] {
            fakes.mainQueue->runPending();
            return outcome.has_value();
        },
        10000);
    return outcome;
}

TEST(X11Clipboard, AStalledOwnerIsNamedWithoutFreezingTheGuiAndXclipImagesArriveWhole) {
    platform::FakePlatform fakes;
    auto clipboard = std::make_shared<WatchedClipboard>();
    int ticks = 0;
    {
        test::ForeignClient stalled(qEnvironmentVariable("DISPLAY"));
        ASSERT_TRUE(stalled.ownSelection("CLIPBOARD"));
        const auto outcome = readClipboard(fakes, clipboard, &ticks);
        ASSERT_TRUE(outcome);
        EXPECT_FALSE(outcome->image);
        EXPECT_EQ(outcome->failure, "the clipboard's owner did not answer within 1 seconds");
        EXPECT_GT(ticks, 0) << "the GUI thread stood still while the owner kept silent";
    }

    QTemporaryDir folder;
    const QString small = folder.filePath("small.png");
    const QString large = folder.filePath("large.png"); // above xclip's piece size: INCR
    ASSERT_TRUE(test::renderTextImage({"Copied"}, "DejaVu Sans", 16, false).save(small));
    QImage blank(1400, 1000, QImage::Format_RGB32);
    blank.fill(Qt::white);
    ASSERT_TRUE(blank.save(large, "PNG", 100));
    for (const QString& file : {small, large}) {
        SCOPED_TRACE(file.toStdString());
        QProcess xclip;
        xclip.start("xclip", {"-selection", "clipboard", "-t", "image/png", "-i", file});
        ASSERT_TRUE(xclip.waitForFinished(5000)); // it forks to serve the selection
        std::optional<ClipboardImageReader::Outcome> outcome;
        ASSERT_TRUE(test::waitUntil([&] {
            outcome = readClipboard(fakes, clipboard, &ticks);
            return outcome && outcome->image && outcome->image->size() == QImage(file).size();
        })) << (outcome ? outcome->failure.toStdString() : "no outcome");
        EXPECT_EQ(outcome->reading, ClipboardImageReader::Reading::imageObject);
    }
}

} // namespace

int main(int argc, char** argv) {
    return quorvale::test::runTestsInsideXvfb(argc, argv);
}
