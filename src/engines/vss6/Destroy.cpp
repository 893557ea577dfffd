#include "engines/vss6/Destroy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "engines/vss6/DataFolder.h"
#include "engines/vss6/DestroyJournal.h"
#include "engines/vss6/FileLocks.h"
#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/Layout.h"
#include "engines/vss6/LogActions.h"
#include "platform/files/SafeFiles.h"

namespace vss6 {
namespace {

// The word of a destroy record: set when the item destroyed had been deleted.
constexpr std::uint16_t kWasDeleted = 1;

}  // namespace

std::optional<DestroyRefused> WhyNotDestroy(const DestroyRequest& request) {
  try {
    DataFolder& data = *request.data;
    FileLocks locks;
    const ParentRead read = ReadParent(data, locks, request.entry, request.spec);
    PlanDestroy(data, locks, request.entryCounts(), request.entry.parent, read.entries[read.found],
                request.spec, request.nameOf, request.projectOf);
  } catch (const DestroyRefused& refused) {
    if (refused.GetKind() == DestroyRefused::Kind::kNotWritten) {
      return refused;
    }
  }
  return std::nullopt;
}

std::string DescribeLeft(const DestroyDone& done, const std::string& whose) {
  std::string text;
  if (!done.leftovers.empty()) {
    text += "; " + std::to_string(done.leftovers.size()) + " of " + whose +
            " files could not be removed:";
    for (const std::string& leftover : done.leftovers) {
      text += " " + leftover + ";";
    }
    text += " vssdb check lists them, and the next destroy or open that can removes them";
  }
  if (!done.synced) {
    text +=
        "; the data folder could not be synced to disk, so the destroy's journal was kept "
        "and the next open finishes it";
  }
  return text;
}

std::string DescribeLeftovers(const std::string& spec, const DestroyDone& done) {
  return "'" + spec + "' was destroyed" + DescribeLeft(done, "its");
}

DestroyRequest RequestFor(Vss6Tree& tree, const TreeItem& item, std::filesystem::path journal,
                          std::string user) {
  DestroyRequest request;
  static_cast<EntryRequest&>(request) =
      EntryRequestFor(tree, item, std::move(journal), std::move(user));
  request.projectOf = [&tree](const std::string& physical) { return tree.ProjectSpec(physical); };
  request.seenState = [&tree](const std::string& physical) { return tree.SeenState(physical); };
  request.entryCounts = [&tree, spec = request.spec]() -> const EntryCounts& {
    try {
      return tree.CountEntries();
    } catch (const FormatError& error) {
      throw FormatError(std::string("The database's entries could not all be read (") +
                        error.what() + "), so whether another entry names the files of '" + spec +
                        "' is not known; nothing was changed. Run vssdb check");
    }
  };
  return request;
}

namespace {

// The plan to destroy the entry at `index` of the parent read, checked against what the listing
// saw of every project it takes.
DestroyPlan Planned(DataFolder& data, FileLocks& locks, const ParentRead& read, std::size_t index,
                    const DestroyRequest& request) {
  const DestroyPlan plan =
      PlanDestroy(data, locks, request.entryCounts(), request.entry.parent, read.entries[index],
                  request.spec, request.nameOf, request.projectOf);
  for (const DestroyPlan::Project& project : plan.projects) {
    const std::optional<ProjectState> seen =
        request.seenState ? request.seenState(project.physical) : std::nullopt;
    if (seen && *seen != project.state) {
      throw DestroyRefused(DestroyRefused::Kind::kChanged,
                           "'" + request.spec +
                               "' or an item below it was changed by another user since it was "
                               "listed; nothing was done");
    }
  }
  return plan;
}

}  // namespace

void CheckDestroy(const DestroyRequest& request) {
  ParentAtHand parent(request, false);  // a journal in the way stops the change that writes
  LogBody(parent.read, kDestroyFile, request.user);  // the parent can take a record
  Planned(parent.data, parent.locks, parent.read, parent.read.found, request);
}

DestroyDone DestroyEntry(const DestroyRequest& request) { return DestroyEntries({request}); }

DestroyDone DestroyEntries(const std::vector<DestroyRequest>& requests) {
  const DestroyRequest& first = requests.at(0);
  ParentAtHand parent(first);
  DataFolder& data = parent.data;
  ParentRead& read = parent.read;

  // Each entry as it is now, and what destroying it takes (the whole database's entries: an item
  // another entry still names is not taken).
  std::vector<std::size_t> found{read.found};
  for (std::size_t i = 1; i < requests.size(); ++i) {
    if (requests[i].entry.parent != first.entry.parent) {
      throw std::invalid_argument("The destroys of one change must lie in one project");
    }
    found.push_back(FindEntry(read, requests[i].entry, requests[i].spec));
  }
  ParentChange change;
  DestroyDone done;
  std::vector<bool> taken(read.entries.size(), false);
  for (std::size_t i = 0; i < requests.size(); ++i) {
    const ProjectEntry& entry = read.entries[found[i]];
    if (taken[found[i]]) {
      throw std::invalid_argument("'" + requests[i].spec + "' is asked for twice");
    }
    taken[found[i]] = true;
    const DestroyPlan plan = Planned(data, parent.locks, read, found[i], requests[i]);
    change.remove.insert(change.remove.end(), plan.files.begin(), plan.files.end());
    for (const DestroyPlan::Project& project : plan.projects) {
      done.projects.push_back(project.physical);
    }
    done.items.insert(done.items.end(), plan.items.begin(), plan.items.end());
    // The destroy record: the entry's NAME, the word, its physical name.
    std::vector<unsigned char>& body = change.logBodies.emplace_back(
        LogBody(read, entry.type == kProjectType ? kDestroyProject : kDestroyFile, first.user, i));
    CopyEntryNames(read, entry, body, kDestroyPhysical);
    WriteU16(body, kDestroyWord, kWasDeleted);
  }

  // The new entry file: every other record as it was, in its order.
  for (std::size_t index = 0; index < read.entries.size(); ++index) {
    if (!taken[index]) {
      const ProjectEntry& entry = read.entries[index];
      change.entries.insert(
          change.entries.end(),
          read.entryBytes.begin() + static_cast<std::ptrdiff_t>(entry.recordOffset),
          read.entryBytes.begin() + static_cast<std::ptrdiff_t>(entry.recordEnd));
    }
  }
  change.entriesDelta = -static_cast<int>(requests.size());

  const ParentWritten written =
      WriteParent(data, read, change, first.journal, first.entry.physical, first.onStep);
  done.parent = written.parent;
  done.leftovers = written.leftovers;
  done.synced = written.synced;
  return done;
}

}  // namespace vss6
