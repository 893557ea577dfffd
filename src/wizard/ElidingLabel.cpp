#include "wizard/ElidingLabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace wizard {

bool ElidingLabel::Elided() const {
  const QString shown = text();
  return !shown.contains(u'\n') && fontMetrics().horizontalAdvance(shown) > contentsRect().width();
}

bool ElidingLabel::event(QEvent* event) {
  // A label with a tip of its own keeps it; the others show their whole text while elided.
  if (event->type() == QEvent::ToolTip && toolTip().isEmpty() && Elided()) {
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
    return true;
  }
  return QLabel::event(event);
}

void ElidingLabel::paintEvent(QPaintEvent* event) {
  if (!Elided()) {
    QLabel::paintEvent(event);
    return;
  }
  const QRect room = contentsRect();
  QPainter painter(this);
  style()->drawItemText(&painter, room, static_cast<int>(alignment()), palette(), isEnabled(),
                        fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width()),
                        foregroundRole());
}

}  // namespace wizard
