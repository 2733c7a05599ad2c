#pragma once

#include <QString>
#include <vector>
#include <xcb/xcb.h>

namespace quorvale::test {

// Notices, with the local monotonic time, every time someone takes the CLIPBOARD selection.
class ClipboardOwnerWatch {
public:
    explicit ClipboardOwnerWatch(const QString& display);
    ~ClipboardOwnerWatch();
    ClipboardOwnerWatch(const ClipboardOwnerWatch&) = delete;
    ClipboardOwnerWatch& operator=(const ClipboardOwnerWatch&) = delete;

    bool isValid() const { return m_valid; }
    // Reads what arrived; the times (steady clock, ms) of every ownership change so far.
    const std::vector<double>& changes();

private:
    xcb_connection_t* m_connection = nullptr;
    uint8_t m_firstEvent = 0;
    bool m_valid = false;
    std::vector<double> m_changes;
};

} // namespace quorvale::test
