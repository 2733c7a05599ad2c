#include "shortcuts/EventStream.h"

#include "platform/Platform.h"

namespace GlobalShortcuts {
namespace {

void onMainQueue(std::function<void()> work) {
    if (const auto& queue = quorvale::platform::current().mainQueue) {
        queue->async(std::move(work));
    } else {
        work();
    }
}

} // namespace

EventStream::EventStream(const Name& name, Callback callback)
    : m_name(name)
    , m_id(QUuid::createUuid()) {
    onMainQueue([name, id = m_id, callback = std::move(callback)] {
        detail::addStreamCallbacks(
            name, id, [callback] { callback(EventType::keyDown); },
            [callback] { callback(EventType::keyUp); });
    });
}

EventStream::EventStream(EventType type, const Name& name, Callback callback)
    : EventStream(name, [type, callback = std::move(callback)](EventType event) {
        if (event == type) {
            callback(event);
        }
    }) {}

EventStream::~EventStream() {
    onMainQueue([name = m_name, id = m_id] { detail::removeStreamCallbacks(name, id); });
}

} // namespace GlobalShortcuts
