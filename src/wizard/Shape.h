#pragma once

#include <QColor>
#include <QFrame>

namespace wizard {

// An outlined rectangle whose border colour can be set: the step markers of the banner.
class Shape : public QFrame {
 public:
  explicit Shape(QWidget* parent);

  QColor BorderColor() const { return borderColor_; }
  void SetBorderColor(const QColor& color);

 private:
  QColor borderColor_;
};

}  // namespace wizard
