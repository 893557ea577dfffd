#include "wizard/Shape.h"

namespace wizard {

Shape::Shape(QWidget* parent) : QFrame(parent) {
  SetBorderColor(palette().color(QPalette::WindowText));
}

void Shape::SetBorderColor(const QColor& color) {
  borderColor_ = color;
  setStyleSheet(QStringLiteral("QFrame { border: 1px solid %1; background: transparent; }")
                    .arg(color.name()));
}

}  // namespace wizard
