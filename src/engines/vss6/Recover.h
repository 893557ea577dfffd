#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "engines/vss6/DestroyPlan.h"
#include "engines/vss6/ParentChange.h"
#include "engines/vss6/Vss6Tree.h"

namespace vss6 {

using RecoverRequest = EntryRequest;

// Makes a deleted file live again where it was, as SourceSafe does: the deleted bit of its entry
// is cleared in the parent's entry file, written anew under the other extension; a RecoverFile
// record is appended to the parent's log and its header follows. The file's own files are not
// touched (a delete did not touch them). Written under the same journal, locks and ownership
// rules as a destroy.
//
// Throws DestroyRefused (kNotWritten: a project, a shared, pinned, branched or checked-out file,
// or a live item in the project has its name; kChanged: changed since it was listed), and what
// a destroy throws for locks, permissions, damage and files that cannot be written. Nothing is
// written before all of that is known. Returns the parent's header after the recover.
ProjectState RecoverEntry(const RecoverRequest& request);

}  // namespace vss6
