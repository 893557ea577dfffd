#pragma once

#include <QPoint>
#include <QSize>
#include <vector>

class QWidget;

namespace wizard {

// Follows the window's size with its controls, which are placed at fixed positions for the
// window's first size: a control anchored to the right or bottom edge moves with it, one that
// stretches grows with it. A control that only moves keeps its own size (auto-size labels size
// themselves to their captions).
class Anchors {
 public:
  enum Flag { kMoveRight = 1, kMoveDown = 2, kStretchWidth = 4, kStretchHeight = 8 };

  // Records `control`'s place as it is now, in the window's first size.
  void Add(QWidget& control, int flags);
  // Places every control for a window `growth` larger than its first size.
  void Apply(QSize growth) const;

 private:
  struct Anchor {
    QWidget* control;
    int flags;
    QPoint position;
    QSize size;
  };
  std::vector<Anchor> anchors_;
};

}  // namespace wizard
