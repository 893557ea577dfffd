#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engines/vss6/DataFolder.h"
#include "engines/vss6/EntryCensus.h"
#include "engines/vss6/FileLocks.h"
#include "engines/vss6/ItemFiles.h"

namespace vss6 {

// A destroy that was refused before anything was written: the item is of a kind whose destroy
// this program does not write (shared, pinned, branched, ...), or it changed since it was read.
// Besides its description, it carries the reason in a few words for a list of entries
// ("shared with '$/b'", "'$/a/x' below it is checked out").
class DestroyRefused : public std::runtime_error {
 public:
  enum class Kind { kNotWritten, kChanged };
  DestroyRefused(Kind kind, const std::string& description, std::string reason = {})
      : std::runtime_error(description), kind_(kind), reason_(std::move(reason)) {}
  Kind GetKind() const noexcept { return kind_; }
  const std::string& Reason() const noexcept { return reason_; }

 private:
  Kind kind_;
  std::string reason_;
};

// What the header of a project said when it was read: changes to its children add to its log.
struct ProjectState {
  std::uint16_t logEntries = 0;
  std::uint32_t endOfFile = 0;
  bool operator==(const ProjectState&) const = default;
};

// What destroying an entry takes: the item, and for a project everything below it.
struct DestroyPlan {
  // The files to remove, in the order they go: a project's after everything below it, an
  // item's data files before its item file.
  std::vector<std::filesystem::path> files;
  // The projects taken, by physical name, with what their headers said.
  struct Project {
    std::string physical;
    ProjectState state;
  };
  std::vector<Project> projects;
  // Every item taken, by physical name.
  std::vector<std::string> items;
};

// Gives an entry's name in UTF-8, for messages.
using EntryNamer = std::function<std::string(const NameField&, bool project)>;
// Gives the path of a project by its physical name, for messages; empty when it is not known.
using ProjectNamer = std::function<std::string(const std::string& physical)>;

// The plan to destroy `entry`, read from the entry file of the project `parent`, whose path is
// `spec`. Each item file is locked in `locks` before it is read, so that what the plan saw stays
// so while the locks are held. Only items whose destroy is known from real databases are taken: a
// file that no other project holds, never branched, pinned, labelled or checked out, and a project
// whose whole subtree is such files and projects; and none that another entry of the database
// names too, as `counts` says (a damaged database). Anything else is DestroyRefused, kNotWritten,
// saying why in the user's words ("Scourwell does not destroy shared items; '$/a' is shared with
// '$/b'"); a damaged file is a FormatError.
DestroyPlan PlanDestroy(DataFolder& data, FileLocks& locks, const EntryCounts& counts,
                        const std::string& parent, const ProjectEntry& entry,
                        const std::string& spec, const EntryNamer& nameOf,
                        const ProjectNamer& projectOf);

}  // namespace vss6
