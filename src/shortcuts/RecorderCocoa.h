#pragma once

#include "shared/NotificationCenter.h"
#include "shortcuts/LocalEventMonitor.h"
#include "shortcuts/Name.h"

#include <QLineEdit>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

namespace quorvale::platform {
class KeyboardLayout;
struct AlertRequest;
} // namespace quorvale::platform

namespace GlobalShortcuts {

// The field in which the user sets the shortcut of one name: it shows the shortcut, records
// the next acceptable key press while it has the focus, and clears it with its clear button,
// Backspace or Delete. It takes no typed or pasted text. On Linux it is a Qt line edit.
class RecorderCocoa : public QLineEdit {
    Q_OBJECT
public:
    using OnChange = std::function<void(const std::optional<Shortcut>&)>;

    static inline const QString kRecorderActiveStatusDidChange =
        QStringLiteral("GlobalShortcuts_recorderActiveStatusDidChange");
    static inline const QString kIsActiveKey = QStringLiteral("isActive");
    static constexpr int kMinimumWidth = 130;
    static constexpr int kHeight = 24;

    explicit RecorderCocoa(const Name& name, OnChange onChange = {}, QWidget* parent = nullptr);
    ~RecorderCocoa() override;

    const Name& shortcutName() const { return m_shortcutName; }
    // Re-targets the field; it refreshes only when the raw value differs.
    void setShortcutName(const Name& name);
    bool isRecording() const { return m_recording; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The system beep of a rejected key; tests count it.
    std::function<void()> beep;

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void startRecording();
    void endRecording();
    // Ends recording and gives up the focus.
    void stop();
    // Takes the focus back and records again, unless the field went away meanwhile.
    void resume();
    void refreshDisplay();
    void tintClearButton();
    bool handleRecordingKey(QKeyEvent* event);
    bool handleIdleKey(QKeyEvent* event);
    bool handleMouseUp(QObject* receiver, QMouseEvent* event);
    void clearShortcut();
    void accept(const Shortcut& shortcut);
    int showAlert(const quorvale::platform::AlertRequest& alert);
    std::optional<QString> menuItemUsing(const Shortcut& shortcut) const;

    Name m_shortcutName;
    OnChange m_onChange;
    bool m_recording = false;
    bool m_resumeOnActivation = false;
    std::unique_ptr<LocalEventMonitor> m_eventMonitor;
    std::unique_ptr<quorvale::NotificationCenter::ObserverToken> m_shortcutsNameChangeObserver;
    std::shared_ptr<quorvale::platform::KeyboardLayout> m_layout;
    int m_layoutObserver = 0;
};

} // namespace GlobalShortcuts
