#include "wizard/Anchors.h"

#include <QWidget>

namespace wizard {

void Anchors::Add(QWidget& control, int flags) {
  anchors_.push_back({&control, flags, control.pos(), control.size()});
}

void Anchors::Apply(QSize growth) const {
  for (const Anchor& anchor : anchors_) {
    const QPoint position =
        anchor.position + QPoint((anchor.flags & kMoveRight) ? growth.width() : 0,
                                 (anchor.flags & kMoveDown) ? growth.height() : 0);
    if ((anchor.flags & (kStretchWidth | kStretchHeight)) != 0) {
      const QSize size = anchor.size + QSize((anchor.flags & kStretchWidth) ? growth.width() : 0,
                                             (anchor.flags & kStretchHeight) ? growth.height() : 0);
      anchor.control->setGeometry(QRect(position, size));
    } else {
      anchor.control->move(position);
    }
  }
}

}  // namespace wizard
