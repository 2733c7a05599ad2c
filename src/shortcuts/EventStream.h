#pragma once

#include "shortcuts/GlobalShortcuts.h"

#include <QUuid>
#include <functional>
#include <optional>

namespace GlobalShortcuts {

// The presses and releases of one name for as long as the stream lives; its hot key stays
// registered meanwhile. Joining and leaving happen on the main queue.
class EventStream {
public:
    using Callback = std::function<void(EventType)>;

    EventStream(const Name& name, Callback callback);
    // Only events of one type.
    EventStream(EventType type, const Name& name, Callback callback);
    ~EventStream();
    EventStream(const EventStream&) = delete;
    EventStream& operator=(const EventStream&) = delete;

private:
    Name m_name;
    QUuid m_id;
};

} // namespace GlobalShortcuts
