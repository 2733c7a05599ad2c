#pragma once

#include "platform/Screens.h"

namespace quorvale::platform {

class QtScreens : public Screens {
public:
    std::optional<QRect> mainScreenVisibleFrame() const override;
};

} // namespace quorvale::platform
