#include "wizardcore/ShownEntries.h"

#include <algorithm>

#include "wizardcore/DeletedItemsModel.h"

namespace wizardcore {

ShownEntries::ShownEntries(DeletedItemsModel& entries) : entries_(entries) {
  setDynamicSortFilter(false);
  setSortRole(DeletedItemsModel::kSortRole);
  setSourceModel(&entries_);
}

void ShownEntries::SetDeletedBefore(std::optional<std::int64_t> before) {
  age_.before = before;
  invalidate();
}

void ShownEntries::SetPattern(const std::string& pattern) {
  filter_ = NameFilter(pattern);
  invalidate();  // one new layout: row by row, a filter over many entries costs much more
}

std::vector<int> ShownEntries::Shown() const {
  std::vector<int> shown;
  shown.reserve(static_cast<std::size_t>(rowCount()));
  for (int row = 0; row < rowCount(); ++row) {
    shown.push_back(entries_.EntryOf(mapToSource(index(row, 0)).row()));
  }
  std::sort(shown.begin(), shown.end());
  return shown;
}

bool ShownEntries::filterAcceptsRow(int sourceRow, const QModelIndex& /*sourceParent*/) const {
  const DeletedEntry& entry = entries_.Entry(sourceRow);
  return filter_.Matches(entry.spec) && age_.Selects(entry.deletion);
}

}  // namespace wizardcore
