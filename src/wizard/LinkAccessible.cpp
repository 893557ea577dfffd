#include "wizard/LinkAccessible.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>

namespace wizard {
namespace {

constexpr const char* kLinkProperty = "scourwellLink";

class LinkInterface final : public QAccessibleWidget {
 public:
  explicit LinkInterface(QLabel* label) : QAccessibleWidget(label, QAccessible::Link) {
    addControllingSignal(QStringLiteral("linkActivated(QString)"));
  }

  QString text(QAccessible::Text kind) const override {
    const QString own = QAccessibleWidget::text(kind);
    if (kind == QAccessible::Name && own.isEmpty()) {
      return static_cast<QLabel*>(widget())->text();
    }
    return own;
  }

  QStringList actionNames() const override { return {pressAction()}; }

  void doAction(const QString& action) override {
    if (action == pressAction() && widget()->isEnabled()) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
      QCoreApplication::sendEvent(widget(), &press);
    }
  }
};

// Qt's accessibility cache takes the interfaces it is given and deletes them with their widget.
QAccessibleInterface* LinkFactory(const QString& /*className*/, QObject* object) {
  auto* label = qobject_cast<QLabel*>(object);
  if (label != nullptr && label->property(kLinkProperty).toBool()) {
    return new LinkInterface(label);
  }
  return nullptr;
}

}  // namespace

void MarkAsLink(QLabel& label) {
  // Installed again for each label: Qt forgets its factories when an application object goes,
  // and takes a factory it already has only once.
  QAccessible::installFactory(&LinkFactory);
  label.setProperty(kLinkProperty, true);
  // The label's interface was made, as static text, when its text was set: make it again.
  if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&label);
      made != nullptr && made->role() != QAccessible::Link) {
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
  }
}

}  // namespace wizard
