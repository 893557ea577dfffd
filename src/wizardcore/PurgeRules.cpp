#include "wizardcore/PurgeRules.h"

#include <algorithm>

#include "wizardcore/DeletedList.h"

namespace wizardcore {

bool PurgeAllowed(bool anyChecked, std::optional<bool> mayDestroy) {
  return anyChecked && mayDestroy.value_or(false);
}

bool AskBeforePurge(const Selection& selection) { return selection.checked > 0; }

int CheckedHidden(const DeletedList& list, const std::vector<int>& shown) {
  int hidden = 0;
  for (int index = 0; index < list.Size(); ++index) {
    if (list[index].checked && !list[index].removed &&
        !std::binary_search(shown.begin(), shown.end(), index)) {
      ++hidden;
    }
  }
  return hidden;
}

bool PatternSelection::Selects(const DeletedEntry& entry) const {
  const auto matches = [&](const NameFilter& filter) { return filter.Matches(entry.spec); };
  return (match.empty() || std::any_of(match.begin(), match.end(), matches)) &&
         std::none_of(exclude.begin(), exclude.end(), matches) && deletion.Selects(entry.deletion);
}

std::vector<int> CheckSelected(DeletedList& list, const PatternSelection& patterns) {
  std::vector<int> selected;
  std::vector<int> left;
  {
    DeletedList::Batch batch(list);
    for (int index = 0; index < list.Size(); ++index) {
      if (list[index].removed) {
        continue;
      }
      const bool chosen = patterns.Selects(list[index]);
      list.SetChecked(index, chosen);
      (chosen ? selected : left).push_back(index);
    }
    list.CheckEach(left, false);
  }
  std::erase_if(selected, [&](int index) { return list[index].checked; });
  return selected;
}

}  // namespace wizardcore
