#include "shared/ToastWindowController.h"
#include "platform/fake/FakePlatform.h"
#include "shared/HexColor.h"
#include "shared/SymbolImages.h"
#include "shared/ToastContentView.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPointer>
#include <gtest/gtest.h>
#include <thread>

namespace quorvale {
namespace {

TEST(ToastFrame, CentresHorizontallyAndSitsAQuarterUp) {
    const struct {
        QSize fitting;
        QRect visibleFrame, expected;
    } cases[] = {
        {{200, 80}, {0, 0, 1920, 1080}, {860, 750, 200, 80}},
        // Below a top panel: the gap under the toast is (1048 - 80) / 4 = 242.
        {{200, 80}, {0, 32, 1920, 1048}, {860, 758, 200, 80}},
        {{200, 80}, {0, 0, 1920, 1040}, {860, 720, 200, 80}},
        {{300, 100}, {-1280, -200, 1280, 1024}, {-790, 493, 300, 100}},
        {{50, 50}, {0, 0, 101, 101}, {26, 38, 50, 50}},
        {{200, 50}, {0, 0, 100, 100}, {-50, 38, 200, 50}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToastWindowController::frameFor(c.fitting, c.visibleFrame), c.expected)
            << c.visibleFrame.x() << "," << c.visibleFrame.y() << " " << c.fitting.width();
    }
}

class ToastWindowControllerTest : public ::testing::Test {
protected:
    void TearDown() override { ToastWindowController::closeAll(); }

    static const ToastContentView* onlyToast() {
        const auto views = ToastWindowController::visibleToastViews();
        return views.size() == 1 ? views.front() : nullptr;
    }

    platform::FakePlatform fake;
};

TEST_F(ToastWindowControllerTest, ShowsAtOnceFloatingAndWithoutTakingFocus) {
    ToastWindowController::show("Copy Text Succeed", "", 2.0);

    const ToastContentView* toast = onlyToast();
    ASSERT_NE(toast, nullptr);
    EXPECT_EQ(toast->message(), "Copy Text Succeed");
    EXPECT_EQ(toast->iconName(), "document.on.document") << "an empty icon means the default";
    EXPECT_EQ(toast->geometry(),
              ToastWindowController::frameFor(toast->sizeHint(), *fake.screens->visibleFrame));
    EXPECT_TRUE(toast->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(toast->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_FALSE(toast->isActiveWindow());
}

TEST_F(ToastWindowControllerTest, ShowFromABackgroundThreadWaitsForTheMainQueue) {
    std::thread([] {
        ToastWindowController::show("Copy Text Cancelled", "xmark.app", 2.0);
    }).join();
    EXPECT_TRUE(ToastWindowController::visibleToastMessages().isEmpty());

    fake.mainQueue->runPending();
    const ToastContentView* fromWorker = onlyToast();
    ASSERT_NE(fromWorker, nullptr);
    EXPECT_EQ(fromWorker->iconName(), "xmark.app");
    ToastWindowController::show("Copy Text Cancelled", "xmark.app", 2.0);
    const auto views = ToastWindowController::visibleToastViews();
    ASSERT_EQ(views.size(), 2);
    EXPECT_EQ(views.back()->geometry(), fromWorker->geometry());

    // Its two seconds count from when it appeared.
    fake.mainQueue->advance(2.0);
    EXPECT_TRUE(ToastWindowController::visibleToastMessages().isEmpty());
}

TEST_F(ToastWindowControllerTest, TwoToastsOverlapAndCloseEachAfterItsOwnDuration) {
    ToastWindowController::show("Copy Text Succeed", "document.on.document", 2.0);
    fake.mainQueue->advance(0.5);
    ToastWindowController::show("Copy Text Succeed", "document.on.document", 2.0);

    const auto views = ToastWindowController::visibleToastViews();
    ASSERT_EQ(views.size(), 2);
    EXPECT_EQ(views[0]->geometry(), views[1]->geometry());
    QPointer<const ToastContentView> first(views[0]);

    fake.mainQueue->advance(1.499);
    EXPECT_EQ(ToastWindowController::visibleToastMessages().size(), 2);
    fake.mainQueue->advance(0.001);
    EXPECT_EQ(ToastWindowController::visibleToastViews(), QList{views[1]});
    EXPECT_TRUE(first.isNull()) << "nothing may keep the controller and its window alive";
    fake.mainQueue->advance(0.499);
    EXPECT_EQ(ToastWindowController::visibleToastMessages().size(), 1);
    fake.mainQueue->advance(0.001);
    EXPECT_TRUE(ToastWindowController::visibleToastMessages().isEmpty());
    EXPECT_EQ(fake.mainQueue->pendingCount(), 0u);
}

TEST_F(ToastWindowControllerTest, NoMainScreenShowsNothing) {
    fake.screens->visibleFrame.reset();
    const auto windowsBefore = QApplication::topLevelWidgets().size();

    ToastWindowController::show("Copy Text Succeed", "document.on.document", 2.0);

    EXPECT_TRUE(ToastWindowController::visibleToastMessages().isEmpty());
    EXPECT_EQ(fake.mainQueue->pendingCount(), 0u);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windowsBefore);
}

TEST_F(ToastWindowControllerTest, OnlyACompositorGetsTranslucentCornersElseTheWindowIsCut) {
    for (const bool compositing : {true, false}) {
        fake.compositor->running = compositing;
        ToastWindowController::show("Copy Text Succeed", "document.on.document", 2.0);
        const ToastContentView* toast = onlyToast();
        ASSERT_NE(toast, nullptr);
        EXPECT_EQ(toast->testAttribute(Qt::WA_TranslucentBackground), compositing);
        const QRegion mask = toast->mask();
        const QRect label = toast->labelRect();
        if (compositing) {
            EXPECT_TRUE(mask.isEmpty());
        } else {
            EXPECT_EQ(mask.boundingRect(), label);
            EXPECT_FALSE(mask.contains(label.topLeft()));
            EXPECT_FALSE(mask.contains(label.bottomRight()));
            EXPECT_TRUE(mask.contains(QPoint(label.center().x(), label.top())));
            EXPECT_TRUE(mask.contains(QPoint(label.left(), label.center().y())));
        }
        ToastWindowController::closeAll();
    }
}

TEST_F(ToastWindowControllerTest, CloseAllEndsEveryToastAhead) {
    ToastWindowController::show("one", "", 2.0);
    ToastWindowController::show("two", "", 5.0);
    ASSERT_EQ(ToastWindowController::visibleToastMessages(), (QStringList{"one", "two"}));

    ToastWindowController::closeAll();
    EXPECT_TRUE(ToastWindowController::visibleToastMessages().isEmpty());
    fake.mainQueue->advance(10.0); // the scheduled closes find nothing left to do
}

int whitePixelsIn(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 240 && c.green() > 240 && c.blue() > 240;
        }
    }
    return count;
}

TEST(ToastContentViewTest, LaysOutAndDrawsWhiteSymbolAndTextOnTheGreyLabel) {
    ToastContentView view("Copy Text Succeed", "document.on.document");
    const QFontMetrics metrics(ToastContentView::title2Font());
    const int symbol = metrics.height();
    const QSize text = metrics.size(0, "Copy Text Succeed");
    ASSERT_EQ(view.sizeHint(),
              QSize(symbol + 6 + text.width(), std::max(symbol, text.height())) + QSize(52, 52));
    EXPECT_EQ(ToastContentView("Copy Text Succeed", "no.such.symbol").sizeHint().width(),
              text.width() + 52)
        << "an unknown symbol takes no room";

    view.resize(view.sizeHint());
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    view.render(&image, {}, {}, QWidget::DrawChildren);
    const QRect label = view.labelRect();
    const QRect row = label.adjusted(16, 16, -16, -16);

    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << "the margin stays transparent";
    EXPECT_EQ(image.pixelColor(label.left() + 2, label.center().y()), colorFromHex(u"#656565"));
    EXPECT_EQ(whitePixelsIn(image, QRect(label.topLeft(), QSize(label.width(), 15))), 0);
    EXPECT_GT(whitePixelsIn(image, QRect(row.topLeft(), QSize(symbol, row.height()))), symbol);
    EXPECT_GT(whitePixelsIn(image, row.adjusted(symbol + 6, 0, 0, 0)), 50);
}

class SymbolImagesTest : public ::testing::TestWithParam<const char*> {};

TEST_P(SymbolImagesTest, RendersTintedAtTheAskedSize) {
    const QString name = GetParam();
    ASSERT_TRUE(SymbolImages::exists(name));
    const QImage image = SymbolImages::pixmap(name, 24, QColor(255, 0, 0)).toImage();
    ASSERT_EQ(image.size(), QSize(24, 24));
    int opaque = 0;
    int offColour = 0;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 24; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 200) {
                ++opaque;
                offColour += c.red() < 250 || c.green() > 5 || c.blue() > 5;
            }
        }
    }
    EXPECT_GT(opaque, 20) << "a visible drawing";
    EXPECT_LT(opaque, 24 * 24) << "not a filled square";
    EXPECT_EQ(offColour, 0) << "every drawn pixel takes the tint";

    const QPixmap sharp = SymbolImages::pixmap(name, 24, Qt::white, 2.0);
    EXPECT_EQ(sharp.size(), QSize(48, 48));
    EXPECT_EQ(sharp.deviceIndependentSize(), QSizeF(24, 24));
    EXPECT_FALSE(SymbolImages::icon(name, Qt::black).isNull());
}

INSTANTIATE_TEST_SUITE_P(Symbols, SymbolImagesTest,
                         ::testing::Values("text.viewfinder", "viewfinder", "text.bubble",
                                           "doc.text.viewfinder", "scanner", "camera",
                                           "camera.fill", "document.on.document",
                                           "pencil.and.list.clipboard", "list.clipboard",
                                           "xmark.app", "checkmark.circle.fill",
                                           "xmark.circle.fill"));

TEST(SymbolImagesUnknownTest, UnknownNameGivesNoImage) {
    for (const QString name : {"", "no.such.symbol", "Document.On.Document", "../icons/camera"}) {
        EXPECT_FALSE(SymbolImages::exists(name)) << name.toStdString();
        EXPECT_TRUE(SymbolImages::pixmap(name, 24, Qt::white).isNull()) << name.toStdString();
        EXPECT_TRUE(SymbolImages::icon(name, Qt::white).isNull()) << name.toStdString();
    }
}

} // namespace
} // namespace quorvale
