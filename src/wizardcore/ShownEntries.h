#pragma once

#include <QSortFilterProxyModel>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "wizardcore/DeletionTime.h"
#include "wizardcore/NameFilter.h"

namespace wizardcore {

class DeletedItemsModel;

// The rows of the item list that the filter field and the age filter let through, in the order
// found or sorted by a column. Check boxes do not change what is shown, so rows are filtered
// again only when a filter changes or entries come and go. Sorting changes the view alone: the
// list, and so the purge's order, stays as found.
class ShownEntries final : public QSortFilterProxyModel {
 public:
  explicit ShownEntries(DeletedItemsModel& entries);

  void SetPattern(const std::string& pattern);
  // Shows only the entries deleted before `before` (a time as ParseIsoDate gives); all with none.
  void SetDeletedBefore(std::optional<std::int64_t> before);
  // The list's indexes of the entries shown, ascending (whatever the view's order).
  std::vector<int> Shown() const;

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

 private:
  DeletedItemsModel& entries_;
  NameFilter filter_;
  DeletionFilter age_;
};

}  // namespace wizardcore
