#pragma once

#include <QSortFilterProxyModel>
#include <string>
#include <vector>

#include "wizardcore/NameFilter.h"

namespace wizardcore {

class DeletedItemsModel;

// The rows of the item list that the filter field lets through. Rows keep the order found;
// check boxes do not change what is shown, so rows are filtered again only when the pattern
// changes or entries come and go.
class ShownEntries final : public QSortFilterProxyModel {
 public:
  explicit ShownEntries(DeletedItemsModel& entries);

  void SetPattern(const std::string& pattern);
  // The list's indexes of the entries shown, in order.
  std::vector<int> Shown() const;

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

 private:
  DeletedItemsModel& entries_;
  NameFilter filter_;
};

}  // namespace wizardcore
