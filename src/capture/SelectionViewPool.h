#pragma once

#include "platform/ScreenCapture.h"

namespace quorvale {

class SelectionView;

// Overlays of finished selections, kept hidden with their native windows so the next
// selection starts fast; their pixels go as each selection ends.
class SelectionViewPool {
public:
    // A hidden, blank overlay covering the screen: a kept one when it fits, else a new one.
    static SelectionView* take(const platform::ScreenInfo& screen, double primaryHeight);
    // Takes the overlay back, hidden and blank; deletes it once the application is ending.
    static void give(SelectionView* view);
    // Deletes the kept overlays, e.g. those of screens that are gone.
    static void clear();
    static int size();
};

} // namespace quorvale
