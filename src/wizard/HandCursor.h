#pragma once

#include <QCursor>

namespace wizard {

// The pointer of the link labels: a monochrome 32 by 32 hand with the index finger pointing up,
// its hotspot at the fingertip (6, 0).
QCursor HandCursor();

}  // namespace wizard
