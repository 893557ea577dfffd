#pragma once

#include <QLabel>

namespace wizard {

// A one-line label whose text may be wider than its place (a path, a count in a longer
// language): shown elided in the middle, whole in its tip, while text() and what a screen reader
// reads keep it whole. A text of several lines, or one that fits, is drawn as by QLabel.
class ElidingLabel : public QLabel {
 public:
  using QLabel::QLabel;

  // Whether the text is wider than the label shows.
  bool Elided() const;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace wizard
