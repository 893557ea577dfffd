#pragma once

#include <QListWidgetItem>
#include <memory>

namespace sourcecontrol {
class IVSSItem;
}

namespace wizard {

// An entry of the item list: a deleted item's spec, and the item it was listed for. The
// purge destroys that very item, so two entries with the same text never mix up their items.
class DeletedEntry : public QListWidgetItem {
 public:
  DeletedEntry(const QString& text, std::shared_ptr<sourcecontrol::IVSSItem> item)
      : QListWidgetItem(text), item_(std::move(item)) {}

  const std::shared_ptr<sourcecontrol::IVSSItem>& Item() const { return item_; }

 private:
  std::shared_ptr<sourcecontrol::IVSSItem> item_;
};

}  // namespace wizard
