// A window that starts a real XDND drag of one file when pressed, for tests that drop files
// on the app. Prints "accepted" once a target accepts the drag and "dropped <action>" at the
// end; it keeps running afterwards so the target can still fetch the data.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

class Source : public QWidget {
public:
    explicit Source(QUrl url)
        : m_url(std::move(url)) {
        setWindowTitle(QStringLiteral("file drag source"));
        setFixedSize(80, 80);
    }

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* drag = new QDrag(this);
        auto* data = new QMimeData;
        data->setUrls({m_url});
        drag->setMimeData(data);
        connect(drag, &QDrag::actionChanged, this, [](Qt::DropAction action) {
            if (action != Qt::IgnoreAction) {
                say("accepted");
            }
        });
        const Qt::DropAction result = drag->exec(Qt::CopyAction);
        say(result == Qt::IgnoreAction ? "dropped none" : "dropped copy");
    }

private:
    QUrl m_url;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: file-drag-source FILE-URL\n");
        return 2;
    }
    Source source(QUrl(QString::fromLocal8Bit(argv[1])));
    source.move(400, 300);
    source.show();
    return app.exec();
}
