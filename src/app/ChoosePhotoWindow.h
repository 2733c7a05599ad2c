#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QListView;
class QPushButton;
class QStandardItemModel;

namespace quorvale {

// The photo picker: thumbnails of the pictures folder and below it, one to choose.
class ChoosePhotoWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kContentSize{800, 600};
    static constexpr int kThumbnailSize = 128;

    // The XDG Pictures folder unless told otherwise.
    explicit ChoosePhotoWindow(const QString& folder = {});
    ~ChoosePhotoWindow() override;

    // Called once: with the chosen file, or with nothing when the user cancels or closes.
    std::function<void(const std::optional<QString>& path)> onFinish;

    const QString& folder() const { return m_folder; }
    int photoCount() const;
    bool isScanning() const { return m_scanning; }
    int thumbnailCount() const { return m_thumbnails; }
    void choose(int row);
    // Ends the window's one use; later calls do nothing.
    void finish(const std::optional<QString>& path);

    struct Thumbnail {
        QString path;
        QImage image;
    };

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void startScan();
    void addThumbnails(const std::vector<Thumbnail>& batch, bool finished);

    QString m_folder;
    QListView* m_list = nullptr;
    QStandardItemModel* m_model = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_chooseButton = nullptr;
    std::shared_ptr<std::atomic<bool>> m_stopScan = std::make_shared<std::atomic<bool>>(false);
    bool m_scanning = false;
    int m_thumbnails = 0;
    bool m_finished = false;
};

} // namespace quorvale
