#pragma once

#include "wizard/ElidingLabel.h"

namespace wizard {

// A label that acts as a link: a click (the left button going down and coming up over it; the
// second press of a double-click is no click of its own), Enter or Space while it has the focus
// give clicked(); the pointer moving over it or the focus coming to it give hovered(), the focus
// leaving it left(). A disabled link does nothing at all, and keeps the pointer's movements to
// itself. A text wider than the label is shown elided in the middle.
class LinkLabel : public ElidingLabel {
  Q_OBJECT

 public:
  using ElidingLabel::ElidingLabel;

 signals:
  void clicked();
  void hovered();
  void left();

 protected:
  bool event(QEvent* event) override;

 private:
  bool pressed_ = false;  // the left button went down over the link and has not come up
};

}  // namespace wizard
