#include "engines/vss6/Recover.h"

#include <algorithm>

#include "engines/vss6/DestroyJournal.h"
#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/Layout.h"
#include "engines/vss6/LogActions.h"
#include "engines/vss6/Vss6Errors.h"

namespace vss6 {
namespace {

// Flags of a file's own header.

[[noreturn]] void NotRecovered(const std::string& spec, const std::string& state,
                               const std::string& kinds) {
  throw DestroyRefused(DestroyRefused::Kind::kNotWritten,
                       "Scourwell does not recover " + kinds + "; '" + spec + "' is " + state,
                       state);
}

// Refuses what no real database shows the recover of: a project (its rights and the cache of
// live subprojects would follow), a shared, pinned, branched or checked-out file.
void RequireRecoverable(DataFolder& data, FileLocks& locks, const ProjectEntry& entry,
                        const std::string& spec) {
  if (entry.type == kProjectType) {
    NotRecovered(spec, "a project", "projects of a SourceSafe 6 database");
  }
  if ((entry.flags & kSharedFlag) != 0) {
    NotRecovered(spec, "shared", "shared files");
  }
  if (entry.pinnedVersion != 0) {
    NotRecovered(spec, "pinned", "pinned files");
  }
  const std::filesystem::path itemPath = data.ItemPath(entry.physical);
  locks.Lock(data, itemPath);
  const std::vector<unsigned char> item = data.ReadWhole(itemPath);
  const ItemHeader header = ReadItemHeader(item, itemPath.string());
  if (header.type != kFileType) {
    Damaged(itemPath, "is listed as a file but is a project's");
  }
  if ((header.fileFlags & kFileShared) != 0 || header.projectReferences > 1) {
    NotRecovered(spec, "shared", "shared files");
  }
  if (!header.branchSource.empty() || header.branches != 0) {
    NotRecovered(spec, "branched", "branched files");
  }
  if ((header.fileFlags & kFileCheckedOut) != 0) {
    NotRecovered(spec, "checked out", "checked-out files");
  }
}

}  // namespace

ProjectState RecoverEntry(const RecoverRequest& request) {
  ParentAtHand parent(request);
  ParentRead& read = parent.read;
  const ProjectEntry& found = read.Entry();
  RequireRecoverable(parent.data, parent.locks, found, request.spec);

  // A live item of the project with the same name, in any letter case of the code page, keeps it.
  const std::string name =
      request.upperCase(request.nameOf(found.name, found.type == kProjectType));
  for (const ProjectEntry& other : read.entries) {
    if (&other != &found && !other.Deleted() &&
        request.upperCase(request.nameOf(other.name, other.type == kProjectType)) == name) {
      throw DestroyRefused(DestroyRefused::Kind::kNotWritten,
                           "A live item in the project of '" + request.spec +
                               "' has its name; recovering it would clash",
                           "a live item has its name");
    }
  }

  ParentChange change;
  std::vector<unsigned char>& logBody =
      change.logBodies.emplace_back(LogBody(read, kRecoverFile, request.user));
  // The entry file as it was, with the entry's deleted bit cleared and its record sealed again.
  change.entries = read.entryBytes;
  const std::size_t flagsAt = found.recordOffset + kRecordHeaderSize + kJpFlagsAt;
  WriteU16(change.entries, flagsAt, static_cast<std::uint16_t>(found.flags & ~kDeletedFlag));
  Reseal(change.entries, found.recordOffset);
  // The recover record: the entry's NAME and physical name.
  CopyEntryNames(read, found, logBody, kLogChildPhysical);

  const ParentWritten written = WriteParent(parent.data, read, change, request.journal,
                                            request.entry.physical, request.onStep);
  // The old entry file is the only file to go; one left behind is a stale copy, as SourceSafe
  // itself leaves them.
  return written.parent;
}

}  // namespace vss6
