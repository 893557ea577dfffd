#pragma once

#include <QtGlobal>

namespace wizard {

// Positions in the window's layout are in twips; the window is laid out at 96 dots an inch.
inline int Px(int twips) { return qRound(twips / 15.0); }

}  // namespace wizard
