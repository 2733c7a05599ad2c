#pragma once

#include "platform/Screens.h"

namespace quorvale::platform {

class QtScreens : public Screens {
public:
    explicit QtScreens(bool windowsPlaceThemselves = true)
        : m_windowsPlaceThemselves(windowsPlaceThemselves) {}

    std::optional<QRect> mainScreenVisibleFrame() const override;
    bool windowsPlaceThemselves() const override { return m_windowsPlaceThemselves; }

private:
    bool m_windowsPlaceThemselves;
};

} // namespace quorvale::platform
