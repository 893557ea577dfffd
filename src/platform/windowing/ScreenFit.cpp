#include "platform/windowing/ScreenFit.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace windowing {
namespace {

std::int64_t Area(const QRect& rect) {
  return rect.isEmpty() ? 0 : std::int64_t{rect.width()} * rect.height();
}

// How far apart two rectangles are: 0 when they touch or overlap.
std::int64_t Distance(const QRect& a, const QRect& b) {
  const std::int64_t dx = std::max<std::int64_t>(
      {0, std::int64_t{b.left()} - a.right(), std::int64_t{a.left()} - b.right()});
  const std::int64_t dy = std::max<std::int64_t>(
      {0, std::int64_t{b.top()} - a.bottom(), std::int64_t{a.top()} - b.bottom()});
  return dx * dx + dy * dy;
}

}  // namespace

QRect FitOntoScreens(const QRect& frame, const QList<QRect>& screens) {
  if (screens.isEmpty()) {
    return frame;
  }
  for (const QRect& screen : screens) {
    if (screen.contains(frame)) {
      return frame;
    }
  }
  // The screen it overlaps most; overlapping none, the nearest.
  const QRect* best = nullptr;
  std::int64_t bestOverlap = 0;
  std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
  for (const QRect& screen : screens) {
    const std::int64_t overlap = Area(screen.intersected(frame));
    const std::int64_t distance = Distance(screen, frame);
    if (best == nullptr || overlap > bestOverlap ||
        (overlap == bestOverlap && distance < bestDistance)) {
      best = &screen;
      bestOverlap = overlap;
      bestDistance = distance;
    }
  }
  const QRect& screen = *best;
  QRect fitted(frame.topLeft(), frame.size().boundedTo(screen.size()));
  fitted.moveLeft(std::clamp(fitted.left(), screen.left(), screen.right() - fitted.width() + 1));
  fitted.moveTop(std::clamp(fitted.top(), screen.top(), screen.bottom() - fitted.height() + 1));
  return fitted;
}

}  // namespace windowing
