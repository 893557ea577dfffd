#include "wizard/LinkLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <utility>

namespace wizard {

bool LinkLabel::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space) {
        break;
      }
      if (isEnabled()) {
        emit clicked();
      }
      return true;
    }
    case QEvent::FocusIn:
      emit hovered();  // underlined, as under the pointer: the focus shows
      break;
    case QEvent::FocusOut:
      emit left();
      break;
    case QEvent::MouseMove:
      if (!isEnabled()) {
        return true;
      }
      emit hovered();
      break;
    case QEvent::MouseButtonPress:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        pressed_ = isEnabled();
      }
      return true;
    case QEvent::MouseButtonDblClick:
      pressed_ = false;
      return true;
    case QEvent::MouseButtonRelease: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton && std::exchange(pressed_, false) && isEnabled() &&
          rect().contains(mouse->position().toPoint())) {
        emit clicked();
      }
      return true;
    }
    default:
      break;
  }
  return ElidingLabel::event(event);
}

}  // namespace wizard
