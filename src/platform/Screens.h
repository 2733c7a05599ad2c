#pragma once

#include <QRect>
#include <optional>

namespace quorvale::platform {

class Screens {
public:
    virtual ~Screens() = default;
    // The primary screen's area not taken by panels, in Qt's global coordinates (y down).
    virtual std::optional<QRect> mainScreenVisibleFrame() const = 0;
    // Whether a window can put itself where it wants. Under Wayland only the compositor
    // places windows: a window covers a screen by asking to be full screen on it.
    virtual bool windowsPlaceThemselves() const { return true; }
};

} // namespace quorvale::platform
