#pragma once

#include <optional>
#include <vector>

#include "wizardcore/DeletionTime.h"
#include "wizardcore/NameFilter.h"

namespace wizardcore {

class DeletedList;
struct DeletedEntry;
struct Selection;

// The purge button is enabled when an entry on the list is checked and the user may destroy;
// when it could not be read whether they may, they may not.
[[nodiscard]] bool PurgeAllowed(bool anyChecked, std::optional<bool> mayDestroy);

// A purge asks first whenever it would destroy something; with nothing checked there is nothing
// to ask about.
[[nodiscard]] bool AskBeforePurge(const Selection& selection);

// How many checked entries on the list are not among `shown` (the list's indexes the filter
// lets through, in order): a purge takes them all the same.
[[nodiscard]] int CheckedHidden(const DeletedList& list, const std::vector<int>& shown);

// Which entries a purge by patterns takes: those matching any of `match` (every entry when there
// is none) and none of `exclude`, and whose delete `deletion` lets through.
struct PatternSelection {
  std::vector<NameFilter> match;
  std::vector<NameFilter> exclude;
  DeletionFilter deletion;

  [[nodiscard]] bool Selects(const DeletedEntry& entry) const;
};

// Checks the entries on the list that `patterns` select and unchecks the others, then applies the
// rule between the boxes: an entry left unchecked unchecks every listed project above it, so that
// no destroy takes what was not selected. Gives back the selected entries that rule unchecked.
std::vector<int> CheckSelected(DeletedList& list, const PatternSelection& patterns);

}  // namespace wizardcore
