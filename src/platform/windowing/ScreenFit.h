#pragma once

#include <QList>
#include <QRect>

namespace windowing {

// Where a window's frame goes so that it lies wholly on a screen: where it is, when it does
// already; else on the screen it overlaps most (or, overlapping none, the nearest), moved just
// enough, and made smaller only when it is larger than that screen. A position remembered on
// another monitor, or at another scale factor, so never leaves the window out of reach.
// `screens` are the screens' available areas; with none the frame stays as it is.
QRect FitOntoScreens(const QRect& frame, const QList<QRect>& screens);

}  // namespace windowing
