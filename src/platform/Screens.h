#pragma once

#include <QRect>
#include <optional>

namespace quorvale::platform {

class Screens {
public:
    virtual ~Screens() = default;
    // The primary screen's area not taken by panels, in Qt's global coordinates (y down).
    virtual std::optional<QRect> mainScreenVisibleFrame() const = 0;
};

} // namespace quorvale::platform
