#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <map>
#include <optional>

namespace quorvale::platform {

// The active keyboard layout, seen through virtual key codes.
class KeyboardLayout {
public:
    using Observer = std::function<void()>;

    virtual ~KeyboardLayout() = default;

    // What the key produces pressed alone in the active layout (dead keys by their accent);
    // empty when the key produces nothing printable or there is no layout.
    virtual QString characterForKeyCode(qint64 virtualKeyCode) const = 0;
    // The virtual key code of the key a Qt key event came from (QKeyEvent::nativeScanCode).
    virtual std::optional<qint64> virtualKeyCodeForScanCode(quint32 nativeScanCode) const = 0;

    // Told on the GUI thread after the layout or the active group changed.
    int addLayoutObserver(Observer observer) {
        m_observers.emplace(++m_lastObserverId, std::move(observer));
        return m_lastObserverId;
    }
    void removeLayoutObserver(int id) { m_observers.erase(id); }

protected:
    void notifyLayoutChanged() {
        const auto observers = m_observers;
        for (const auto& [id, observer] : observers) {
            observer();
        }
    }

private:
    std::map<int, Observer> m_observers;
    int m_lastObserverId = 0;
};

} // namespace quorvale::platform
