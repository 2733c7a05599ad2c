#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>

namespace quorvale {

class ToastContentView;

// A short-lived heads-up label in the lower middle of the main screen. Each toast owns
// its window and keeps itself alive until its scheduled close; toasts never merge.
class ToastWindowController {
public:
    // Safe from any thread; off the GUI thread the call is posted to the main queue.
    static void show(const QString& message, const QString& icon, double duration);

    // Centred horizontally; bottom edge a quarter of the free height above the bottom.
    static QRect frameFor(QSize fitting, QRect visibleFrame);

    // Toasts on screen now, oldest first.
    static QList<const ToastContentView*> visibleToastViews();
    static QStringList visibleToastMessages();
    // Closes every open toast at once, ahead of its deadline.
    static void closeAll();

    explicit ToastWindowController(std::unique_ptr<ToastContentView> window);
    ~ToastWindowController();
    ToastWindowController(const ToastWindowController&) = delete;
    ToastWindowController& operator=(const ToastWindowController&) = delete;

    ToastContentView* window() const { return m_window.get(); }
    void showWindow();
    // Hides the window and lets go of the self reference; may release this controller.
    void close();

private:
    std::unique_ptr<ToastContentView> m_window;
    std::shared_ptr<ToastWindowController> m_retainedSelf;
};

} // namespace quorvale
