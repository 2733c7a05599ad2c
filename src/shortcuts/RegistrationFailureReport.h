#pragma once

#include "shortcuts/Name.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

namespace GlobalShortcuts {

// Tells the user, once per shortcut, which of the application's shortcuts could not be set
// up and why. Failures of one turn of the event loop come in one message. Owned by a
// shared_ptr: the message goes out on the main queue.
class RegistrationFailureReport : public std::enable_shared_from_this<RegistrationFailureReport> {
public:
    using Show = std::function<void(const QString&)>;
    // Each slot with the title the user knows it by.
    using Slot = std::pair<Name, QString>;

    RegistrationFailureReport(std::vector<Slot> titledSlots, Show show);

    void failed(const Shortcut& shortcut, int status, const QString& reason);

private:
    void flush();

    std::vector<Slot> m_slots;
    Show m_show;
    std::unordered_set<Shortcut> m_told;
    std::vector<std::pair<Shortcut, QString>> m_pending;
};

} // namespace GlobalShortcuts
