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
#include "engines/vss6/LogActions.h"
#include "platform/files/SafeFiles.h"

namespace vss6 {
namespace {

// The word of a destroy record: set when the item destroyed had been deleted.
constexpr std::uint16_t kWasDeleted = 1;

}  // namespace

std::optional<DestroyRefused> WhyNotDestroy(const DestroyRequest& request) {
  try {
    DataFolder data(request.data);
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

std::string DescribeLeftovers(const std::string& spec, const DestroyDone& done) {
  std::string text = "'" + spec + "' was destroyed; " + std::to_string(done.leftovers.size()) +
                     " of its files could not be removed:";
  for (const std::string& leftover : done.leftovers) {
    text += " " + leftover + ";";
  }
  return text + " vssdb check lists them, and the next destroy or open that can removes them";
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

DestroyDone DestroyEntry(const DestroyRequest& request) {
  ParentAtHand parent(request);
  DataFolder& data = parent.data;
  FileLocks& locks = parent.locks;
  ParentRead& read = parent.read;
  const ProjectEntry& found = read.Entry();
  ParentChange change;
  change.action = found.type == kProjectType ? kDestroyProject : kDestroyFile;
  change.logBody = LogBody(read, change.action, request.user);

  // The whole database's entries: an item another entry still names is not taken.
  const EntryCounts& counts = request.entryCounts();
  const DestroyPlan plan = PlanDestroy(data, locks, counts, request.entry.parent, found,
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

  // The new entry file: every other record as it was, in its order.
  const std::vector<unsigned char>& entryBytes = read.entryBytes;
  change.entries.assign(entryBytes.begin(),
                        entryBytes.begin() + static_cast<std::ptrdiff_t>(found.recordOffset));
  change.entries.insert(change.entries.end(),
                        entryBytes.begin() + static_cast<std::ptrdiff_t>(found.recordEnd),
                        entryBytes.end());
  change.entriesDelta = -1;
  change.remove = plan.files;

  // The destroy record: the entry's NAME, the word, its physical name.
  const auto jpBody = entryBytes.begin() + static_cast<std::ptrdiff_t>(found.recordOffset) + 8;
  std::copy_n(jpBody + 4, 40, change.logBody.begin() + kLogChildName);
  WriteU16(change.logBody, kDestroyWord, kWasDeleted);
  std::copy_n(jpBody + 46, 8, change.logBody.begin() + kDestroyPhysical);

  const ParentWritten written =
      WriteParent(data, read, change, request.journal, request.entry.physical, request.onStep);
  DestroyDone done;
  done.parent = written.parent;
  done.leftovers = written.leftovers;
  for (const DestroyPlan::Project& project : plan.projects) {
    done.projects.push_back(project.physical);
  }
  done.items = plan.items;
  return done;
}

}  // namespace vss6
