#include "app/ChoosePhotoWindow.h"
#include "platform/fake/FakePlatform.h"
#include "shared/DragDropStatusItemView.h"
#include "support/Wait.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

std::unique_ptr<QMimeData> urls(const QList<QUrl>& list) {
    auto data = std::make_unique<QMimeData>();
    data->setUrls(list);
    return data;
}

TEST(DragDropStatusItemViewTest, HighlightsAndTakesOnlyALocalFileFirstOfAll) {
    DragDropStatusItemView view(QRect(0, 0, 24, 24));
    QList<QUrl> dropped;
    view.onFileDropped = [&](const QUrl& url) { dropped.append(url); };
    const QUrl first = QUrl::fromLocalFile("/tmp/one.png");
    const QUrl second = QUrl::fromLocalFile("/tmp/two.png");
    auto text = std::make_unique<QMimeData>();
    text->setText("just text");

    const struct {
        const char* name;
        QMimeData* data;
        bool accepted;
    } cases[] = {
        {"two files", urls({first, second}).release(), true},
        {"web address", urls({QUrl("https://example.org/a.png")}).release(), false},
        {"text", text.release(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<QMimeData> owned(c.data);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, c.data, Qt::LeftButton, {});
        QApplication::sendEvent(&view, &enter);
        EXPECT_EQ(enter.isAccepted(), c.accepted);
        EXPECT_EQ(view.isDraggingIn(), c.accepted);
        if (c.accepted) {
            // A 2-point frame inside the icon, in system blue.
            const QImage shown = view.grab().toImage();
            EXPECT_EQ(shown.pixelColor(1, 12), DragDropStatusItemView::kHighlightColor);
            EXPECT_NE(shown.pixelColor(12, 12), DragDropStatusItemView::kHighlightColor);
        }
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, c.data, Qt::LeftButton, {});
        QApplication::sendEvent(&view, &drop);
        EXPECT_EQ(drop.isAccepted(), c.accepted);
        EXPECT_FALSE(view.isDraggingIn());
    }
    EXPECT_EQ(dropped, QList<QUrl>({first}));

    auto data = urls({first});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(&view, &enter);
    QDragLeaveEvent leave;
    QApplication::sendEvent(&view, &leave);
    EXPECT_FALSE(view.isDraggingIn());
}

TEST(ChoosePhotoWindowTest, ListsPicturesBelowTheFolderWithoutStallingTheGuiThread) {
    platform::FakePlatform fakes;
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath("2026/trip"));
    QImage image(320, 240, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    constexpr int kPhotos = 400;
    for (int i = 0; i < kPhotos; ++i) {
        const QString name = QString(i % 2 ? "2026/trip/%1.jpg" : "%1.png").arg(i);
        ASSERT_TRUE(image.save(folder.filePath(name)));
    }
    QFile fake(folder.filePath("notes.png"));
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write("not a picture");
    fake.close();

    auto* window = new ChoosePhotoWindow(folder.path());
    QPointer<ChoosePhotoWindow> guard(window);
    EXPECT_EQ(window->windowTitle(), "Choose Photo");
    EXPECT_EQ(window->size(), QSize(800, 600));
    std::optional<std::optional<QString>> finished;
    window->onFinish = [&](const std::optional<QString>& path) {
        finished = path;
        window->close();
    };
    window->show();

    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longestGap = qMax(longestGap, sinceTick.restart()); });
    sinceTick.start();
    ticker.start();
    ASSERT_TRUE(test::waitUntil([&] { return !window->isScanning(); }, 60000));
    ticker.stop();
    EXPECT_EQ(window->photoCount(), kPhotos) << "the text file is not a picture";
    EXPECT_LT(longestGap, 300) << "the GUI thread stalled";

    window->choose(0);
    ASSERT_TRUE(finished && *finished);
    EXPECT_TRUE(QFileInfo(**finished).isFile());
    EXPECT_TRUE(test::waitUntil([&] { return guard.isNull(); }));
}

} // namespace
