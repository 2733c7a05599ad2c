#include "app/ChoosePhotoWindow.h"

#include "app/ImageLoader.h"

#include <QCloseEvent>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QThreadPool>
#include <QVBoxLayout>

namespace quorvale {
namespace {

constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kBatchSize = 48;
constexpr qint64 kBatchIntervalMs = 150;

const QStringList kPhotoPatterns = {"*.png",  "*.jpg", "*.jpeg", "*.tif", "*.tiff",
                                    "*.bmp",  "*.gif", "*.webp", "*.PNG", "*.JPG",
                                    "*.JPEG", "*.TIF", "*.TIFF", "*.BMP"};

QImage thumbnailOf(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    const int side = ChoosePhotoWindow::kThumbnailSize;
    if (size.isValid() && qint64(size.width()) * size.height() > ImageLoader::kMaxPixels) {
        return {}; // it could not be recognised anyway
    }
    if (size.isValid()) {
        // Decoders that can scale while reading (JPEG) skip most of the work this way.
        reader.setScaledSize(size.scaled(side, side, Qt::KeepAspectRatio));
    } else {
        reader.setAllocationLimit(64);
    }
    QImage image = reader.read();
    if (!image.isNull() && (image.width() > side || image.height() > side)) {
        image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

} // namespace

ChoosePhotoWindow::ChoosePhotoWindow(const QString& folder)
    : QWidget(nullptr, Qt::Window)
    , m_folder(folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)
                                : folder) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Choose Photo"));
    resize(kContentSize);

    m_model = new QStandardItemModel(this);
    m_list = new QListView(this);
    m_list->setModel(m_model);
    m_list->setViewMode(QListView::IconMode);
    m_list->setIconSize(QSize(kThumbnailSize, kThumbnailSize));
    m_list->setGridSize(QSize(kThumbnailSize + 24, kThumbnailSize + 44));
    m_list->setResizeMode(QListView::Adjust);
    m_list->setMovement(QListView::Static);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setTextElideMode(Qt::ElideMiddle);

    m_status = new QLabel(this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    m_chooseButton = new QPushButton(tr("Choose"), this);
    m_chooseButton->setDefault(true);
    m_chooseButton->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_status, 1);
    buttons->addWidget(cancel);
    buttons->addWidget(m_chooseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(cancel, &QPushButton::clicked, this, [this] { finish(std::nullopt); });
    connect(m_chooseButton, &QPushButton::clicked, this, [this] {
        const QModelIndex current = m_list->currentIndex();
        if (current.isValid()) {
            choose(current.row());
        }
    });
    connect(m_list, &QListView::activated, this,
            [this](const QModelIndex& index) { choose(index.row()); });
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { m_chooseButton->setEnabled(current.isValid()); });

    if (const QScreen* screen = this->screen()) {
        QRect frame(QPoint(), kContentSize);
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    startScan();
}

ChoosePhotoWindow::~ChoosePhotoWindow() {
    m_stopScan->store(true);
}

int ChoosePhotoWindow::photoCount() const {
    return m_model->rowCount();
}

void ChoosePhotoWindow::startScan() {
    m_scanning = true;
    m_status->setText(tr("Looking for photos in %1…").arg(m_folder));
    QPointer<ChoosePhotoWindow> weakSelf(this);
    const QString folder = m_folder;
    // Listing and decoding thousands of files takes seconds: none of it on the GUI thread.
    QThreadPool::globalInstance()->start([weakSelf, folder, stop = m_stopScan] {
        std::vector<Thumbnail> batch;
        QElapsedTimer sinceLastBatch;
        sinceLastBatch.start();
        auto send = [&](bool finished) {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [weakSelf, batch = std::move(batch), finished] {
                    if (weakSelf) {
                        weakSelf->addThumbnails(batch, finished);
                    }
                },
                Qt::QueuedConnection);
            batch.clear();
            sinceLastBatch.restart();
        };
        QDirIterator files(folder, kPhotoPatterns, QDir::Files | QDir::Readable,
                           QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (files.hasNext() && !stop->load()) {
            const QString path = files.next();
            QImage image = thumbnailOf(path);
            if (image.isNull()) {
                continue;
            }
            batch.push_back({path, std::move(image)});
            if (int(batch.size()) >= kBatchSize || sinceLastBatch.elapsed() >= kBatchIntervalMs) {
                send(false);
            }
        }
        send(true);
    });
}

void ChoosePhotoWindow::addThumbnails(const std::vector<Thumbnail>& batch, bool finished) {
    for (const Thumbnail& thumbnail : batch) {
        auto* item = new QStandardItem(QIcon(QPixmap::fromImage(thumbnail.image)),
                                       QFileInfo(thumbnail.path).fileName());
        item->setData(thumbnail.path, kPathRole);
        item->setToolTip(thumbnail.path);
        m_model->appendRow(item);
        ++m_thumbnails;
    }
    if (finished) {
        m_scanning = false;
        m_status->setText(m_thumbnails == 0 ? tr("No photos in %1").arg(m_folder)
                                            : tr("%n photo(s)", nullptr, m_thumbnails));
    }
}

void ChoosePhotoWindow::choose(int row) {
    const QModelIndex index = m_model->index(row, 0);
    if (index.isValid()) {
        finish(index.data(kPathRole).toString());
    }
}

void ChoosePhotoWindow::finish(const std::optional<QString>& path) {
    if (m_finished) {
        return;
    }
    m_finished = true;
    m_stopScan->store(true);
    if (onFinish) {
        onFinish(path);
    } else {
        close();
    }
}

void ChoosePhotoWindow::closeEvent(QCloseEvent* event) {
    finish(std::nullopt);
    event->accept();
}

void ChoosePhotoWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        finish(std::nullopt);
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace quorvale
