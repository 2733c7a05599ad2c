#include "shortcuts/RegistrationFailureReport.h"

#include "platform/GlobalHotKeys.h"
#include "platform/Platform.h"
#include "shortcuts/GlobalShortcuts.h"

#include <QCoreApplication>

namespace GlobalShortcuts {

RegistrationFailureReport::RegistrationFailureReport(std::vector<Slot> titledSlots, Show show)
    : m_slots(std::move(titledSlots))
    , m_show(std::move(show)) {}

void RegistrationFailureReport::failed(const Shortcut& shortcut, int status,
                                       const QString& reason) {
    // A session without global grabs is reported once, on its own, at start-up.
    if (status == quorvale::platform::GlobalHotKeys::kHotKeysUnavailable ||
        !m_told.insert(shortcut).second) {
        return;
    }
    m_pending.emplace_back(shortcut, reason);
    if (m_pending.size() == 1) {
        quorvale::platform::current().mainQueue->async([weak = weak_from_this()] {
            if (const auto self = weak.lock()) {
                self->flush();
            }
        });
    }
}

void RegistrationFailureReport::flush() {
    if (m_pending.empty()) {
        return;
    }
    // Read now, not at the failure: a default is stored only after its registration.
    QStringList lines;
    for (const auto& [shortcut, reason] : m_pending) {
        QStringList titles;
        for (const auto& [name, title] : m_slots) {
            if (getShortcut(name) == shortcut) {
                titles.append(QStringLiteral("“%1”").arg(title));
            }
        }
        // No slot holds it any more (a recorder took it back): nothing is broken.
        if (titles.isEmpty()) {
            continue;
        }
        lines.append(QCoreApplication::translate("RegistrationFailureReport",
                                                 "The shortcut %1 for %2 does not work: %3.")
                         .arg(shortcut.displayString(), titles.join(QStringLiteral(", ")), reason));
    }
    m_pending.clear();
    if (!lines.isEmpty()) {
        m_show(lines.join(u'\n'));
    }
}

} // namespace GlobalShortcuts
