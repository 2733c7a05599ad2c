#include "shortcuts/RecorderCocoa.h"

#include "platform/Platform.h"
#include "shared/SymbolImages.h"
#include "shortcuts/CarbonGlobalShortcuts.h"
#include "shortcuts/GlobalShortcuts.h"
#include "shortcuts/ModifierFlags.h"
#include "shortcuts/SpecialKey.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QProxyStyle>
#include <algorithm>
#include <utility>

namespace GlobalShortcuts {
namespace {

using quorvale::platform::AlertRequest;
using quorvale::platform::ModalAlerts;

constexpr qint64 kTab = 48;
constexpr qint64 kEscape = 53;
constexpr qint64 kBackspace = 51;
constexpr qint64 kForwardDelete = 117;
constexpr qint64 kF12 = 111;
// Command, Shift, Caps Lock, Option, Control, the right-hand ones and Fn.
constexpr qint64 kFirstModifierKey = 54;
constexpr qint64 kLastModifierKey = 63;
// Outside the field but this close, a click is taken as a slip and keeps recording.
constexpr int kClickSlack = 3;

// The field never shows a caret: nothing can be typed into it.
class NoCaretStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        return metric == PM_TextCursorWidth ? 0 : QProxyStyle::pixelMetric(metric, option, widget);
    }
};

quint64 modifierFlags(Qt::KeyboardModifiers modifiers) {
    quint64 flags = 0;
    if (modifiers & Qt::MetaModifier) {
        flags |= ModifierFlags::kCommand;
    }
    if (modifiers & Qt::AltModifier) {
        flags |= ModifierFlags::kOption;
    }
    if (modifiers & Qt::ControlModifier) {
        flags |= ModifierFlags::kControl;
    }
    if (modifiers & Qt::ShiftModifier) {
        flags |= ModifierFlags::kShift;
    }
    if (modifiers & Qt::KeypadModifier) {
        flags |= ModifierFlags::kNumericPad;
    }
    return flags;
}

bool isModifierKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}

bool isFunctionKey(qint64 keyCode) {
    const auto special = SpecialKeys::forKeyCode(keyCode);
    return special && *special >= SpecialKey::f1 && *special <= SpecialKey::f20;
}

void postActiveStatus(bool active) {
    quorvale::NotificationCenter::defaultCenter().post(
        RecorderCocoa::kRecorderActiveStatusDidChange, {{RecorderCocoa::kIsActiveKey, active}});
}

std::optional<QString> searchActions(const QList<QAction*>& actions, const QKeySequence& wanted) {
    for (QAction* action : actions) {
        const auto shortcuts = action->shortcuts();
        if (std::find(shortcuts.begin(), shortcuts.end(), wanted) != shortcuts.end()) {
            return action->text().remove(u'&');
        }
        if (action->menu()) {
            if (auto found = searchActions(action->menu()->actions(), wanted)) {
                return found;
            }
        }
    }
    return std::nullopt;
}

} // namespace

RecorderCocoa::RecorderCocoa(const Name& name, OnChange onChange, QWidget* parent)
    : QLineEdit(parent)
    , beep([] { QApplication::beep(); })
    , m_shortcutName(name)
    , m_onChange(std::move(onChange))
    , m_layout(quorvale::platform::current().keyboardLayout) {
    auto* style = new NoCaretStyle;
    style->setParent(this);
    setStyle(style);
    resize(kMinimumWidth, kHeight);
    setPlaceholderText(localizedString(QStringLiteral("record_shortcut")));
    setAlignment(Qt::AlignCenter);
    setClearButtonEnabled(true);
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // The clear button reports its click as an edit to an empty text.
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (text.isEmpty()) {
            clearShortcut();
        }
    });
    refreshDisplay();
    tintClearButton();
    QPointer<RecorderCocoa> weakSelf(this);
    m_shortcutsNameChangeObserver = quorvale::NotificationCenter::defaultCenter().addObserver(
        kShortcutByNameDidChange, [weakSelf](const QVariantMap& userInfo) {
            const QVariant name = userInfo.value(QStringLiteral("name"));
            if (weakSelf && name.canConvert<Name>() &&
                name.value<Name>().rawValue == weakSelf->m_shortcutName.rawValue) {
                weakSelf->refreshDisplay();
            }
        });
    if (m_layout) {
        m_layoutObserver = m_layout->addLayoutObserver([weakSelf] {
            if (weakSelf) {
                weakSelf->refreshDisplay();
            }
        });
    }
}

RecorderCocoa::~RecorderCocoa() {
    endRecording();
    if (m_layout) {
        m_layout->removeLayoutObserver(m_layoutObserver);
    }
}

void RecorderCocoa::setShortcutName(const Name& name) {
    const bool changed = name.rawValue != m_shortcutName.rawValue;
    m_shortcutName = name;
    if (changed) {
        refreshDisplay();
    }
}

QSize RecorderCocoa::sizeHint() const {
    const QSize base = QLineEdit::sizeHint();
    // Room for the longest usual chord, "Super+Ctrl+Alt+Shift+F12", and the clear button.
    const int text = fontMetrics().horizontalAdvance(QStringLiteral("Super+Ctrl+Alt+Shift+F12"));
    return {std::max(kMinimumWidth, text + 2 * base.height()), base.height()};
}

QSize RecorderCocoa::minimumSizeHint() const {
    return {kMinimumWidth, QLineEdit::minimumSizeHint().height()};
}

void RecorderCocoa::tintClearButton() {
    // The style's own clear icon is dark and vanishes on a dark palette.
    QColor ink = palette().color(QPalette::Text);
    ink.setAlphaF(0.6f);
    for (QAction* action : findChildren<QAction*>()) {
        if (action->objectName() == u"_q_qlineeditclearaction") {
            action->setIcon(quorvale::SymbolImages::icon(QStringLiteral("xmark.circle.fill"), ink));
        }
    }
}

void RecorderCocoa::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        tintClearButton();
    }
}

void RecorderCocoa::refreshDisplay() {
    const auto shortcut = getShortcut(m_shortcutName);
    setText(shortcut ? shortcut->displayString() : QString());
}

void RecorderCocoa::startRecording() {
    if (m_recording || !isVisible()) {
        return;
    }
    m_recording = true;
    setPlaceholderText(localizedString(QStringLiteral("press_shortcut")));
    setDispatchSuspended(true);
    postActiveStatus(true);
    QPointer<RecorderCocoa> weakSelf(this);
    m_eventMonitor = std::make_unique<LocalEventMonitor>(
        QSet<QEvent::Type>{QEvent::MouseButtonRelease}, [weakSelf](QObject* receiver, QEvent* e) {
            return !weakSelf || weakSelf->handleMouseUp(receiver, static_cast<QMouseEvent*>(e));
        });
}

void RecorderCocoa::endRecording() {
    // Only the recording field may lift the suspension: another may have taken over.
    if (!m_recording) {
        return;
    }
    m_recording = false;
    m_eventMonitor.reset();
    setPlaceholderText(localizedString(QStringLiteral("record_shortcut")));
    setDispatchSuspended(false);
    postActiveStatus(false);
}

void RecorderCocoa::stop() {
    endRecording();
    if (hasFocus()) {
        clearFocus();
    }
}

void RecorderCocoa::resume() {
    if (!isVisible()) {
        return;
    }
    setFocus(Qt::OtherFocusReason);
    if (window()->isActiveWindow()) {
        startRecording();
    } else {
        // The alert's window is still going away; the focus comes back with ours.
        m_resumeOnActivation = true;
    }
}

void RecorderCocoa::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    deselect();
    // Coming back to the window, or out of a popup, must not start a recording unasked.
    const bool returning =
        event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason;
    if (!returning || std::exchange(m_resumeOnActivation, false)) {
        startRecording();
    }
}

void RecorderCocoa::focusOutEvent(QFocusEvent* event) {
    if (event->reason() != Qt::ActiveWindowFocusReason) {
        m_resumeOnActivation = false;
    }
    endRecording();
    QLineEdit::focusOutEvent(event);
}

void RecorderCocoa::hideEvent(QHideEvent* event) {
    endRecording();
    QLineEdit::hideEvent(event);
}

void RecorderCocoa::mousePressEvent(QMouseEvent* event) {
    // The middle button would paste the X selection.
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && hasFocus()) {
        startRecording();
    }
}

void RecorderCocoa::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void RecorderCocoa::inputMethodEvent(QInputMethodEvent* event) {
    event->ignore();
}

bool RecorderCocoa::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // While recording, the application's own shortcuts must not fire instead.
        if (m_recording) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool swallowed = m_recording ? handleRecordingKey(key) : handleIdleKey(key);
        if (swallowed) {
            return true;
        }
        break;
    }
    case QEvent::KeyRelease:
        return true;
    default:
        break;
    }
    return QLineEdit::event(event);
}

bool RecorderCocoa::handleIdleKey(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        startRecording();
        return true;
    default:
        // Text never goes into the field; the key may still mean something to the window.
        event->ignore();
        return true;
    }
}

bool RecorderCocoa::handleRecordingKey(QKeyEvent* event) {
    // A held key repeats; only its first press counts.
    if (event->isAutoRepeat()) {
        return true;
    }
    // A plain number, not an optional: GCC at -O3 loses track of the optional's checks below.
    const std::int64_t keyCode =
        m_layout ? m_layout->virtualKeyCodeForScanCode(event->nativeScanCode()).value_or(-1) : -1;
    const bool hasKeyCode = keyCode >= 0;
    // A modifier on its own is the start of a chord.
    if (isModifierKey(event->key()) ||
        (hasKeyCode && keyCode >= kFirstModifierKey && keyCode <= kLastModifierKey)) {
        return true;
    }
    const quint64 flags = modifierFlags(event->modifiers());
    const quint64 held = flags & ~(ModifierFlags::kCapsLock | ModifierFlags::kNumericPad);
    const bool tab = event->key() == Qt::Key_Tab || (hasKeyCode && keyCode == kTab);
    if (held == 0 || (held == ModifierFlags::kShift && event->key() == Qt::Key_Backtab)) {
        if (tab || event->key() == Qt::Key_Backtab) {
            endRecording();
            return false;
        }
        if (event->key() == Qt::Key_Escape || (hasKeyCode && keyCode == kEscape)) {
            stop();
            return true;
        }
        if (hasKeyCode && (keyCode == kBackspace || keyCode == kForwardDelete)) {
            clearShortcut();
            return true;
        }
    }
    const quint64 chordModifiers =
        ModifierFlags::kControl | ModifierFlags::kOption | ModifierFlags::kCommand;
    if (!hasKeyCode || (!(flags & chordModifiers) && !isFunctionKey(keyCode))) {
        beep();
        return true;
    }
    const auto shortcut = Shortcut::fromEvent({KeyEvent::Type::keyDown, keyCode, flags});
    if (!shortcut) {
        beep();
        return true;
    }
    if (const auto title = menuItemUsing(*shortcut)) {
        stop();
        AlertRequest alert;
        alert.messageText =
            localizedString(QStringLiteral("keyboard_shortcut_used_by_menu_item")).arg(*title);
        showAlert(alert);
        resume();
        return true;
    }
    const bool plainF12 = keyCode == kF12 && shortcut->carbonModifiers == 0;
    if (!plainF12) {
        const auto reserved = CarbonGlobalShortcuts::systemReservedShortcuts();
        if (std::find(reserved.begin(), reserved.end(), *shortcut) != reserved.end()) {
            stop();
            AlertRequest alert;
            alert.messageText = localizedString(QStringLiteral("keyboard_shortcut_used_by_system"));
            alert.informativeText =
                localizedString(QStringLiteral("keyboard_shortcuts_can_be_changed"));
            alert.buttons = {localizedString(QStringLiteral("ok")),
                             localizedString(QStringLiteral("force_use_shortcut"))};
            QPointer<RecorderCocoa> weakSelf(this);
            const int answer = showAlert(alert);
            if (!weakSelf) {
                return true;
            }
            resume();
            if (answer != ModalAlerts::kFirstButtonResponse + 1) {
                return true;
            }
        }
    }
    accept(*shortcut);
    return true;
}

void RecorderCocoa::accept(const Shortcut& shortcut) {
    const auto previous = getShortcut(m_shortcutName);
    setText(shortcut.displayString());
    setShortcut(shortcut, m_shortcutName);
    const auto& hotKeys = quorvale::platform::current().hotKeys;
    if (hotKeys && hotKeys->isAvailable() && !CarbonGlobalShortcuts::isRegistered(shortcut)) {
        // A shortcut that cannot fire must not be shown as the one in force.
        const QString reason = CarbonGlobalShortcuts::lastRefusalReason(shortcut);
        setShortcut(previous, m_shortcutName);
        refreshDisplay();
        stop();
        AlertRequest alert;
        alert.messageText = localizedString(QStringLiteral("keyboard_shortcut_not_registered"))
                                .arg(shortcut.displayString(), reason);
        alert.informativeText =
            previous ? localizedString(QStringLiteral("keyboard_shortcut_kept"))
                           .arg(previous->displayString())
                     : localizedString(QStringLiteral("keyboard_shortcut_kept_none"));
        QPointer<RecorderCocoa> weakSelf(this);
        showAlert(alert);
        if (weakSelf) {
            resume();
        }
        return;
    }
    if (m_onChange) {
        m_onChange(shortcut);
    }
    stop();
}

void RecorderCocoa::clearShortcut() {
    setText(QString());
    setShortcut(std::nullopt, m_shortcutName);
    if (m_onChange) {
        m_onChange(std::nullopt);
    }
    if (!hasFocus()) {
        setFocus(Qt::OtherFocusReason);
    }
    startRecording();
}

bool RecorderCocoa::handleMouseUp(QObject* receiver, QMouseEvent* event) {
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget || !event->spontaneous()) {
        return false;
    }
    const QPoint local = mapFromGlobal(event->globalPosition().toPoint());
    if (rect().contains(local)) {
        return false; // the clear button needs its click
    }
    if (rect().adjusted(-kClickSlack, -kClickSlack, kClickSlack, kClickSlack).contains(local)) {
        return true;
    }
    stop();
    return false;
}

int RecorderCocoa::showAlert(const AlertRequest& alert) {
    return quorvale::platform::current().alerts->runModal(alert);
}

std::optional<QString> RecorderCocoa::menuItemUsing(const Shortcut& shortcut) const {
    const QKeySequence wanted = shortcut.keySequence();
    if (wanted.isEmpty()) {
        return std::nullopt;
    }
    // Linux has no global menu bar: the application's commands hang on its windows.
    return searchActions(window()->actions(), wanted);
}

} // namespace GlobalShortcuts
