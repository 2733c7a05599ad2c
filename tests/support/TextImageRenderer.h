#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

namespace quorvale::test {

// Lines of text as a screen shows them: anti-aliased, one colour on a plain page,
// dark grey on near-white or light grey on near-black. `scale` makes a HiDPI image
// (physical pixels, devicePixelRatio set); `pixelSize` is in logical pixels.
QImage renderTextImage(const QStringList& lines, const QString& family, int pixelSize, bool dark,
                       qreal scale = 1.0);

} // namespace quorvale::test
