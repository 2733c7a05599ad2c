#pragma once

#include "platform/Screens.h"

namespace quorvale::platform {

class FakeScreens : public Screens {
public:
    std::optional<QRect> mainScreenVisibleFrame() const override { return visibleFrame; }
    std::optional<QRect> visibleFrame = QRect(0, 0, 1920, 1080);
};

} // namespace quorvale::platform
