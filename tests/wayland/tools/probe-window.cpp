// A full-screen window titled "probe OUTPUT_NAME" on that output that reports what it gets:
// "shown" once it is on screen, "press X Y" / "release X Y" in its own coordinates, and
// "key NAME".
//   probe-window OUTPUT_NAME
#include <QApplication>
#include <QKeySequence>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <cstdio>

namespace {

class Probe : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        if (!m_shown) {
            m_shown = true;
            report("shown");
        }
    }
    void mousePressEvent(QMouseEvent* event) override { report("press", event->position()); }
    void mouseReleaseEvent(QMouseEvent* event) override { report("release", event->position()); }
    void keyPressEvent(QKeyEvent* event) override {
        report("key " + QKeySequence(event->key()).toString());
    }

private:
    static void report(const QString& what) {
        std::printf("%s\n", qPrintable(what));
        std::fflush(stdout);
    }
    static void report(const char* what, QPointF at) {
        report(QStringLiteral("%1 %2 %3").arg(what).arg(int(at.x())).arg(int(at.y())));
    }
    bool m_shown = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: probe-window OUTPUT_NAME\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    QScreen* screen = nullptr;
    for (QScreen* candidate : QGuiApplication::screens()) {
        if (candidate->name() == output) {
            screen = candidate;
        }
    }
    if (!screen) {
        std::fprintf(stderr, "probe-window: no output named %s\n", argv[1]);
        return 1;
    }
    Probe probe;
    probe.setWindowTitle("probe " + output);
    probe.setScreen(screen);
    probe.setGeometry(screen->geometry());
    probe.showFullScreen();
    return app.exec();
}
