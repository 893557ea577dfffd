#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engines/vss6/DestroyPlan.h"
#include "engines/vss6/ParentChange.h"
#include "engines/vss6/Vss6Tree.h"

namespace vss6 {

struct DestroyRequest : EntryRequest {
  ProjectNamer projectOf;
  // What the listing saw of a project's header, if it read it.
  std::function<std::optional<ProjectState>(const std::string& physical)> seenState;
  // How many entries of the database name each item.
  std::function<const EntryCounts&()> entryCounts;
};

struct DestroyDone {
  ProjectState parent;                 // the parent's header after the destroy
  std::vector<std::string> projects;   // the projects taken
  std::vector<std::string> items;      // every item taken
  std::vector<std::string> leftovers;  // files that could not be removed, each with why
  bool synced = true;                  // false: the journal was kept, as a folder would not sync
};

// Whether the destroy done leaves something to report: files left, or a folder not synced.
inline bool LeftSomething(const DestroyDone& done) {
  return !done.leftovers.empty() || !done.synced;
}

// The request to destroy `item` as `tree` listed it, its names and what it saw of each project
// taken from `tree` (which must outlive the request).
DestroyRequest RequestFor(Vss6Tree& tree, const TreeItem& item, std::filesystem::path journal,
                          std::string user);

// Destroys a deleted entry and, for a project, everything below it, as SourceSafe does: the
// entry leaves the parent's entry file, written anew under the other extension; a destroy record
// is appended to the parent's log and its header counts follow; the item's files go last. Each
// file is written in full beside the old one and renamed over it, under a journal that the next
// open uses to finish or undo a destroy that was cut off. (DestroyEntries with one request.)
//
// Throws DestroyRefused (the item is of a kind not written, another entry names its files, or it
// or its project changed since it was listed), LockedError (another program holds a lock on a
// file it changes, or another destroy is under way), PermissionRefused (a file it changes or
// removes may not be changed so by this user), FormatError (a file is damaged) and
// files::FileError (a file cannot be written). Nothing is written before all of that is known,
// and a failure before the destroy takes effect (when the parent's item file is replaced) undoes
// what was written. Files that cannot be removed after it took effect are given back in
// `leftovers` and kept in a record that later opens and destroys work off.
DestroyDone DestroyEntry(const DestroyRequest& request);

// Destroys several deleted entries of one project as one change: the entry file written once
// without all of them, one destroy record each appended to the log in the order given, the
// header's counts following once, and the items' files removed after; cut off at any step, the
// next open finishes or undoes all of it. Refused whole, nothing written, when any of them would
// be refused or changed since it was listed. `requests` all name the same parent.
DestroyDone DestroyEntries(const std::vector<DestroyRequest>& requests);

// Checks `request` as DestroyEntry does before it writes, under the same locks, and throws what
// it would throw; writes nothing.
void CheckDestroy(const DestroyRequest& request);

// Why DestroyEntry would refuse `request` for the kind of item it is (shared, pinned, ...), read
// under the same locks and checks but writing nothing; none when it would go ahead as far as can
// be told now. An item changed since it was listed is not refused here (the destroy says so).
// Throws what DestroyEntry throws when the files cannot be read.
std::optional<DestroyRefused> WhyNotDestroy(const DestroyRequest& request);

// "'$/a' was destroyed; 2 of its files could not be removed: ...", for a destroy that left files
// or a folder not synced.
std::string DescribeLeftovers(const std::string& spec, const DestroyDone& done);
// What such a destroy left, from "; ": the files of `whose` ("its", "their"), the folder.
std::string DescribeLeft(const DestroyDone& done, const std::string& whose);

}  // namespace vss6
