#include "wizardcore/ShownEntries.h"

#include "wizardcore/DeletedItemsModel.h"

namespace wizardcore {

ShownEntries::ShownEntries(DeletedItemsModel& entries) : entries_(entries) {
  setDynamicSortFilter(false);
  setSourceModel(&entries_);
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
  return shown;
}

bool ShownEntries::filterAcceptsRow(int sourceRow, const QModelIndex& /*sourceParent*/) const {
  return filter_.Matches(entries_.Entry(sourceRow).spec);
}

}  // namespace wizardcore
