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

// Offsets in the body of a DH record.
constexpr std::size_t kLogEntriesAt = 2;
constexpr std::size_t kExtensionAt = 46;
constexpr std::size_t kLastLogAt = 52;
constexpr std::size_t kEndOfFileAt = 56;
constexpr std::size_t kTotalEntriesAt = 352;
// The word of a destroy record: set when the item destroyed had been deleted.
constexpr std::uint16_t kWasDeleted = 1;

[[noreturn]] void Changed(const std::string& spec, const std::string& why) {
  throw DestroyRefused(DestroyRefused::Kind::kChanged,
                       "'" + spec + "' " + why + " since it was listed; nothing was done");
}

[[noreturn]] void Damaged(const std::filesystem::path& file, const std::string& what) {
  throw FormatError("'" + file.string() + "' " + what +
                    "; nothing was done. Run SourceSafe's Analyze on the database");
}

// ".A" → ".B" and back, keeping the case.
std::string OtherExtension(const std::string& extension) {
  std::string other = extension;
  other[1] = static_cast<char>(other[1] == 'A'   ? 'B'
                               : other[1] == 'B' ? 'A'
                               : other[1] == 'a' ? 'b'
                                                 : 'a');
  return other;
}

files::Ownership OwnershipOf(int fd, const std::filesystem::path& path) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    throw files::FileError("Cannot read '" + path.string() + "'", errno);
  }
  return {status.st_uid, status.st_gid, static_cast<mode_t>(status.st_mode & 07777)};
}

// The parent of the entry to destroy as it is now, under lock, and the entry in it, which must
// be as the listing saw it and deleted.
struct ParentRead {
  std::filesystem::path itemPath;
  std::filesystem::path entryPath;
  files::Ownership itemOwner;
  files::Ownership entryOwner;
  std::vector<unsigned char> item;
  ItemHeader header;
  std::vector<unsigned char> entryBytes;
  std::vector<ProjectEntry> entries;
  std::size_t found = 0;  // the entry's index in `entries`
};

ParentRead ReadParent(DataFolder& data, FileLocks& locks, const DestroyRequest& request) {
  ParentRead read;
  const std::string& parent = request.entry.parent;
  read.itemPath = data.ItemPath(parent);
  read.itemOwner = OwnershipOf(locks.Lock(data, read.itemPath), read.itemPath);
  read.item = data.ReadWhole(read.itemPath);
  read.header = ReadItemHeader(read.item, read.itemPath.string());
  if (read.header.type != kProjectType) {
    Damaged(read.itemPath, "is listed as a project but is a file's");
  }
  read.entryPath = data.ItemPath(parent, read.header.dataExtension);
  read.entryOwner = OwnershipOf(locks.Lock(data, read.entryPath), read.entryPath);
  read.entryBytes = data.ReadWhole(read.entryPath);
  read.entries = ReadEntryFile(read.entryBytes, read.entryPath.string());

  const auto found =
      std::find_if(read.entries.begin(), read.entries.end(),
                   [&](const ProjectEntry& e) { return e.physical == request.entry.physical; });
  if (found == read.entries.end()) {
    Changed(request.spec, "has left its project");
  }
  if (!std::equal(read.entryBytes.begin() + static_cast<std::ptrdiff_t>(found->recordOffset),
                  read.entryBytes.begin() + static_cast<std::ptrdiff_t>(found->recordEnd),
                  request.entry.record.begin(), request.entry.record.end())) {
    Changed(request.spec, "was changed by another user (recovered, renamed or shared)");
  }
  if (!found->Deleted()) {
    throw DestroyRefused(DestroyRefused::Kind::kNotWritten,
                         "'" + request.spec + "' is not deleted; only deleted items are destroyed",
                         "not deleted");
  }
  read.found = static_cast<std::size_t>(found - read.entries.begin());
  return read;
}

}  // namespace

std::optional<DestroyRefused> WhyNotDestroy(const DestroyRequest& request) {
  try {
    DataFolder data(request.data);
    FileLocks locks;
    const ParentRead read = ReadParent(data, locks, request);
    PlanDestroy(data, locks, request.entryCounts(), request.entry.parent, read.entries[read.found],
                request.spec, request.nameOf, request.projectOf);
  } catch (const DestroyRefused& refused) {
    if (refused.GetKind() == DestroyRefused::Kind::kNotWritten) {
      return refused;
    }
  }
  return std::nullopt;
}

namespace {

void RequireWritableFolder(const std::filesystem::path& folder) {
  if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
    const int error = errno;
    throw PermissionRefused("This user may not make the destroy's journal in the folder '" +
                            folder.string() + "' (" + std::strerror(error) +
                            "); nothing was changed");
  }
}

std::string_view AsText(const std::vector<unsigned char>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

std::string DescribeLeftovers(const std::string& spec, const DestroyDone& done) {
  std::string text = "'" + spec + "' was destroyed; " + std::to_string(done.leftovers.size()) +
                     " of its files could not be removed:";
  for (const std::string& leftover : done.leftovers) {
    text += " " + leftover + ";";
  }
  return text + " vssdb check lists them, and the next destroy or open that can removes them";
}

std::uint32_t LocalClockNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return static_cast<std::uint32_t>(::timegm(&local));
}

DestroyRequest RequestFor(Vss6Tree& tree, const TreeItem& item, std::filesystem::path journal,
                          std::string user) {
  DestroyRequest request;
  request.data = tree.DataPath();
  request.journal = std::move(journal);
  request.user = std::move(user);
  request.spec = tree.SpecOf(item);
  request.entry = {item.parent, item.physical, item.entryRecord};
  request.nameOf = [&tree](const NameField& name, bool project) {
    return tree.NameOf(name, project);
  };
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
  const auto step = [&](std::string_view name) {
    if (request.onStep) {
      request.onStep(name);
    }
  };
  if (const Recovery recovery = FinishInterruptedDestroy(request.journal, request.data);
      recovery.blocking) {
    throw LockedError(*recovery.blocking);
  }
  DataFolder data(request.data);
  FileLocks locks;
  ParentRead read = ReadParent(data, locks, request);
  const std::string& parent = request.entry.parent;
  const std::filesystem::path& itemPath = read.itemPath;
  const std::filesystem::path& entryPath = read.entryPath;
  const files::Ownership& itemOwner = read.itemOwner;
  const files::Ownership& entryOwner = read.entryOwner;
  std::vector<unsigned char>& item = read.item;
  const ItemHeader& header = read.header;
  const std::vector<unsigned char>& entryBytes = read.entryBytes;
  const std::vector<ProjectEntry>& entries = read.entries;
  const auto found = entries.begin() + static_cast<std::ptrdiff_t>(read.found);
  // The parent must be whole before it is written: its counts and its last log record.
  if (header.endOfFile != item.size()) {
    Damaged(itemPath, "gives " + std::to_string(header.endOfFile) + " as its end but has " +
                          std::to_string(item.size()) + " bytes");
  }
  if (header.totalEntries != entries.size()) {
    Damaged(itemPath, "counts " + std::to_string(header.totalEntries) + " entries but " +
                          std::to_string(entries.size()) + " are listed");
  }
  if (header.logEntries == 0 || header.lastLog < kHeaderRecordOffset) {
    Damaged(itemPath, "has no log");
  }
  if (header.logEntries == 0xFFFF || item.size() > 0xFFFFFFFFu - 8 - kLogBodySize) {
    throw DestroyRefused(DestroyRefused::Kind::kNotWritten,
                         "'" + itemPath.string() + "' cannot take another log record");
  }
  const Record lastLog = ReadRecord(item, header.lastLog, "EL", itemPath.string());
  const std::uint16_t revision =
      static_cast<std::uint16_t>(ReadU16(lastLog.body, 6, itemPath.string()) + 1);

  // The whole database's entries: an item another entry still names is not taken.
  const EntryCounts& counts = request.entryCounts();
  const DestroyPlan plan = PlanDestroy(data, locks, counts, parent, *found, request.spec,
                                       request.nameOf, request.projectOf);
  for (const DestroyPlan::Project& project : plan.projects) {
    const std::optional<ProjectState> seen =
        request.seenState ? request.seenState(project.physical) : std::nullopt;
    if (seen && *seen != project.state) {
      Changed(request.spec, "or an item below it was changed by another user");
    }
  }

  // The new entry file: every other record as it was, in its order.
  std::vector<unsigned char> newEntries(
      entryBytes.begin(), entryBytes.begin() + static_cast<std::ptrdiff_t>(found->recordOffset));
  newEntries.insert(newEntries.end(),
                    entryBytes.begin() + static_cast<std::ptrdiff_t>(found->recordEnd),
                    entryBytes.end());

  // The destroy record, appended to the parent's log.
  const std::uint32_t recordOffset = static_cast<std::uint32_t>(item.size());
  std::vector<unsigned char> body(kLogBodySize, 0);
  WriteU32(body, 0, header.lastLog);
  WriteU16(body, 4, found->type == kProjectType ? kDestroyProject : kDestroyFile);
  WriteU16(body, 6, revision);
  WriteU32(body, 8, LocalClockNow());
  std::copy_n(request.user.begin(), std::min<std::size_t>(request.user.size(), 31),
              body.begin() + 12);
  WriteU32(body, 76, recordOffset + 8 + static_cast<std::uint32_t>(kLogBodySize));
  const auto jpBody = entryBytes.begin() + static_cast<std::ptrdiff_t>(found->recordOffset) + 8;
  std::copy_n(jpBody + 4, 40, body.begin() + kLogChildName);  // the entry's NAME
  WriteU16(body, kDestroyWord, kWasDeleted);
  std::copy_n(jpBody + 46, 8, body.begin() + kDestroyPhysical);
  const std::vector<unsigned char> record = MakeRecord("EL", body);
  item.insert(item.end(), record.begin(), record.end());

  // The parent's header: one log record more, one entry less, the other entry file.
  const std::string newExtension = OtherExtension(header.dataExtension);
  const std::span<unsigned char> dh(item.data() + kHeaderRecordOffset + 8, 356);
  WriteU16(dh, kLogEntriesAt, static_cast<std::uint16_t>(header.logEntries + 1));
  std::copy_n(newExtension.begin(), 2, dh.begin() + kExtensionAt);
  WriteU32(dh, kLastLogAt, recordOffset);
  WriteU32(dh, kEndOfFileAt, static_cast<std::uint32_t>(item.size()));
  WriteU16(dh, kTotalEntriesAt, static_cast<std::uint16_t>(header.totalEntries - 1));
  Reseal(item, kHeaderRecordOffset);

  std::filesystem::path newEntryPath = data.FindItemFile(parent, newExtension);
  if (newEntryPath.empty()) {
    // Named as the old one is on disk, in its letter case, with the other extension.
    std::string name = entryPath.filename().string();
    name.back() = OtherExtension(std::string(".") + name.back())[1];
    newEntryPath = entryPath.parent_path() / name;
  }

  DestroyJournal journal;
  journal.data = request.data;
  journal.parent = parent;
  journal.physical = request.entry.physical;
  journal.record = recordOffset;
  journal.revision = revision;
  journal.temporaries = {itemPath.string() + ".new", newEntryPath.string() + ".new"};
  journal.remove.push_back(entryPath);
  journal.remove.insert(journal.remove.end(), plan.files.begin(), plan.files.end());

  // Nothing is written before everything the destroy will do is known to be allowed here: the
  // files it writes keep their owner and group, and every file it removes can be removed.
  data.RequireOwnership(itemPath, itemOwner);
  data.RequireOwnership(newEntryPath, entryOwner);
  for (const auto& file : journal.remove) {
    data.RequireRemovable(file);
  }
  RequireWritableFolder(request.journal.has_parent_path() ? request.journal.parent_path() : ".");

  step("journal");
  const files::FileDescriptor journalLock = WriteJournal(request.journal, journal, itemOwner);
  try {
    step("entries");
    data.Replace(newEntryPath, AsText(newEntries), entryOwner);
    step("log");
    data.Replace(itemPath, AsText(item), itemOwner);  // the destroy takes effect here
  } catch (...) {
    UndoDestroy(data, journal);
    ::unlink(request.journal.c_str());
    throw;
  }
  step("files");
  DestroyDone done;
  done.leftovers = RemoveDestroyedFiles(data, journal);
  data.Sync();
  if (done.leftovers.empty()) {
    ::unlink(request.journal.c_str());
  } else {
    KeepLeftovers(request.journal, journal);
  }

  done.parent.logEntries = static_cast<std::uint16_t>(header.logEntries + 1);
  done.parent.endOfFile = static_cast<std::uint32_t>(item.size());
  for (const DestroyPlan::Project& project : plan.projects) {
    done.projects.push_back(project.physical);
  }
  done.items = plan.items;
  return done;
}

}  // namespace vss6
