#pragma once

#include <QColor>
#include <QStringView>

namespace quorvale {

// "#656565", "FFF", "80FF0000" (alpha first). Anything unreadable gives opaque white.
QColor colorFromHex(QStringView hex);

} // namespace quorvale
