#include "engines/vss6/ParentChange.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <span>

#include "engines/vss6/DestroyJournal.h"
#include "engines/vss6/Layout.h"
#include "engines/vss6/LogActions.h"
#include "engines/vss6/Vss6Tree.h"

namespace vss6 {
namespace {

[[noreturn]] void Changed(const std::string& spec, const std::string& why) {
  throw DestroyRefused(DestroyRefused::Kind::kChanged,
                       "'" + spec + "' " + why + " since it was listed; nothing was done");
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

void RequireWritableFolder(const std::filesystem::path& folder) {
  if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
    const int error = errno;
    throw PermissionRefused("This user may not make the journal in the folder '" + folder.string() +
                            "' (" + std::strerror(error) + "); nothing was changed");
  }
}

std::string_view AsText(const std::vector<unsigned char>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

void Damaged(const std::filesystem::path& file, const std::string& what) {
  throw FormatError("'" + file.string() + "' " + what +
                    "; nothing was done. Run SourceSafe's Analyze on the database");
}

std::uint32_t LocalClockNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return static_cast<std::uint32_t>(::timegm(&local));
}

EntryRequest EntryRequestFor(Vss6Tree& tree, const TreeItem& item, std::filesystem::path journal,
                             std::string user) {
  EntryRequest request;
  request.data = &tree.Data();
  request.journal = std::move(journal);
  request.user = std::move(user);
  request.spec = tree.SpecOf(item);
  request.entry = {item.parent, item.physical, item.entryRecord};
  request.nameOf = [&tree](const NameField& name, bool project) {
    return tree.NameOf(name, project);
  };
  request.upperCase = [&tree](std::string_view name) {
    return tree.NameCodePage().UpperCase(name);
  };
  return request;
}

namespace {

DataFolder& AfterInterrupted(const EntryRequest& request, bool finishFirst) {
  if (!finishFirst) {
    return *request.data;
  }
  if (const Recovery recovery = FinishInterruptedDestroy(request.journal, request.data->Path());
      recovery.blocking) {
    throw LockedError(*recovery.blocking);
  }
  return *request.data;
}

}  // namespace

ParentAtHand::ParentAtHand(const EntryRequest& request, bool finishFirst)
    : data(AfterInterrupted(request, finishFirst)),
      read(ReadParent(data, locks, request.entry, request.spec)) {}

ParentRead ReadParent(DataFolder& data, FileLocks& locks, const EntrySeen& entry,
                      const std::string& spec) {
  ParentRead read;
  read.parent = entry.parent;
  read.itemPath = data.ItemPath(entry.parent);
  read.itemOwner = OwnershipOf(locks.Lock(data, read.itemPath), read.itemPath);
  read.item = data.ReadWhole(read.itemPath);
  read.header = ReadItemHeader(read.item, read.itemPath.string());
  if (read.header.type != kProjectType) {
    Damaged(read.itemPath, "is listed as a project but is a file's");
  }
  read.entryPath = data.ItemPath(entry.parent, read.header.dataExtension);
  read.entryOwner = OwnershipOf(locks.Lock(data, read.entryPath), read.entryPath);
  read.entryBytes = data.ReadWhole(read.entryPath);
  read.entries = ReadEntryFile(read.entryBytes, read.entryPath.string());

  read.found = FindEntry(read, entry, spec);
  return read;
}

std::size_t FindEntry(const ParentRead& read, const EntrySeen& entry, const std::string& spec) {
  const auto found =
      std::find_if(read.entries.begin(), read.entries.end(),
                   [&](const ProjectEntry& e) { return e.physical == entry.physical; });
  if (found == read.entries.end()) {
    Changed(spec, "has left its project");
  }
  if (!std::equal(read.entryBytes.begin() + static_cast<std::ptrdiff_t>(found->recordOffset),
                  read.entryBytes.begin() + static_cast<std::ptrdiff_t>(found->recordEnd),
                  entry.record.begin(), entry.record.end())) {
    Changed(spec, "was changed by another user (recovered, renamed or shared)");
  }
  if (!found->Deleted()) {
    throw DestroyRefused(DestroyRefused::Kind::kNotWritten,
                         "'" + spec + "' is not deleted; only deleted items are destroyed",
                         "not deleted");
  }
  return static_cast<std::size_t>(found - read.entries.begin());
}

std::vector<unsigned char> LogBody(const ParentRead& read, std::uint16_t action,
                                   const std::string& user, std::size_t nth) {
  const ItemHeader& header = read.header;
  // The parent must be whole before it is written: its counts and its last log record.
  if (header.endOfFile != read.item.size()) {
    Damaged(read.itemPath, "gives " + std::to_string(header.endOfFile) + " as its end but has " +
                               std::to_string(read.item.size()) + " bytes");
  }
  if (header.totalEntries != read.entries.size()) {
    Damaged(read.itemPath, "counts " + std::to_string(header.totalEntries) + " entries but " +
                               std::to_string(read.entries.size()) + " are listed");
  }
  if (header.logEntries == 0 || header.lastLog < kHeaderRecordOffset) {
    Damaged(read.itemPath, "has no log");
  }
  constexpr std::size_t kRecordSize = kRecordHeaderSize + kLogBodySize;
  if (header.logEntries + nth >= 0xFFFF ||
      read.item.size() + nth * kRecordSize > 0xFFFFFFFFu - kRecordSize) {
    throw DestroyRefused(DestroyRefused::Kind::kNotWritten,
                         "'" + read.itemPath.string() + "' cannot take more log records");
  }
  const Record lastLog = ReadRecord(read.item, header.lastLog, "EL", read.itemPath.string());
  const auto revision = static_cast<std::uint16_t>(
      ReadU16(lastLog.body, kLogRevisionAt, read.itemPath.string()) + 1 + nth);
  const auto recordOffset = static_cast<std::uint32_t>(read.item.size() + nth * kRecordSize);
  std::vector<unsigned char> body(kLogBodySize, 0);
  WriteU32(body, kLogPreviousAt,
           nth == 0 ? header.lastLog : recordOffset - static_cast<std::uint32_t>(kRecordSize));
  WriteU16(body, kLogActionAt, action);
  WriteU16(body, kLogRevisionAt, revision);
  WriteU32(body, kLogTimeAt, LocalClockNow());
  std::copy_n(user.begin(), std::min<std::size_t>(user.size(), kLogUserSize - 1),
              body.begin() + kLogUserAt);
  WriteU32(body, kLogCommentAt, recordOffset + static_cast<std::uint32_t>(kRecordSize));
  return body;
}

void CopyEntryNames(const ParentRead& read, const ProjectEntry& entry,
                    std::vector<unsigned char>& body, std::size_t physicalAt) {
  const auto jpBody =
      read.entryBytes.begin() + static_cast<std::ptrdiff_t>(entry.recordOffset + kRecordHeaderSize);
  std::copy_n(jpBody + kJpNameAt, kNameFieldSize, body.begin() + kLogChildName);
  std::copy_n(jpBody + kJpPhysicalAt, kPhysicalSize, body.begin() + physicalAt);
}

ParentWritten WriteParent(DataFolder& data, ParentRead& read, const ParentChange& change,
                          const std::filesystem::path& journalPath, const std::string& physical,
                          const std::function<void(std::string_view)>& onStep) {
  const auto step = [&](std::string_view name) {
    if (onStep) {
      onStep(name);
    }
  };
  std::vector<unsigned char>& item = read.item;
  const ItemHeader& header = read.header;
  const auto recordOffset = static_cast<std::uint32_t>(item.size());
  std::uint32_t lastRecord = recordOffset;
  for (const std::vector<unsigned char>& body : change.logBodies) {
    lastRecord = static_cast<std::uint32_t>(item.size());
    const std::vector<unsigned char> record = MakeRecord("EL", body);
    item.insert(item.end(), record.begin(), record.end());
  }
  const auto added = static_cast<std::uint16_t>(change.logBodies.size());

  // The parent's header: its log records more, the counts, the other entry file.
  const std::string newExtension = OtherExtension(header.dataExtension);
  const std::span<unsigned char> dh(item.data() + kHeaderRecordOffset + kRecordHeaderSize,
                                    kHeaderBodySize);
  WriteU16(dh, kDhLogEntriesAt, static_cast<std::uint16_t>(header.logEntries + added));
  std::copy_n(newExtension.begin(), kExtensionSize, dh.begin() + kDhExtensionAt);
  WriteU32(dh, kDhLastLogAt, lastRecord);
  WriteU32(dh, kDhEndOfFileAt, static_cast<std::uint32_t>(item.size()));
  WriteU16(dh, kDhTotalEntriesAt,
           static_cast<std::uint16_t>(header.totalEntries + change.entriesDelta));
  WriteU16(dh, kDhSubprojectsAt,
           static_cast<std::uint16_t>(header.subprojects + change.subprojectsDelta));
  Reseal(item, kHeaderRecordOffset);

  std::filesystem::path newEntryPath = data.FindItemFile(read.parent, newExtension);
  if (newEntryPath.empty()) {
    // Named as the old one is on disk, in its letter case, with the other extension.
    std::string name = read.entryPath.filename().string();
    name.back() = OtherExtension(std::string(".") + name.back())[1];
    newEntryPath = read.entryPath.parent_path() / name;
  }

  DestroyJournal journal = JournalFor(data);
  journal.parent = read.parent;
  journal.physical = physical;
  journal.record = recordOffset;
  // The first record tells whether the change took effect: the item file holds all or none.
  journal.revision = ReadU16(change.logBodies.at(0), kLogRevisionAt, read.itemPath.string());
  journal.temporaries = {read.itemPath.string() + ".new", newEntryPath.string() + ".new"};
  journal.remove.push_back(read.entryPath);
  journal.remove.insert(journal.remove.end(), change.remove.begin(), change.remove.end());

  // Nothing is written before everything the change does is known to be allowed here: the
  // files it writes keep their owner and group, and every file it removes can be removed.
  data.RequireOwnership(read.itemPath, read.itemOwner);
  data.RequireOwnership(newEntryPath, read.entryOwner);
  for (const auto& file : journal.remove) {
    data.RequireRemovable(file);
  }
  RequireWritableFolder(journalPath.has_parent_path() ? journalPath.parent_path() : ".");

  step("journal");
  const files::FileDescriptor journalLock = WriteJournal(journalPath, journal, read.itemOwner);
  try {
    step("entries");
    data.Replace(newEntryPath, AsText(change.entries), read.entryOwner);
    step("log");
    data.Replace(read.itemPath, AsText(item), read.itemOwner);  // the change takes effect here
  } catch (...) {
    UndoDestroy(data, journal);
    ::unlink(journalPath.c_str());
    throw;
  }
  step("files");
  ParentWritten done;
  done.leftovers = RemoveDestroyedFiles(data, journal).failures;
  // A folder that would not sync may lose a rename or a removal in a crash, so the journal
  // stays as it is: the next open tells again whether the change took effect, and undoes or
  // finishes it.
  done.synced = data.Sync();
  if (done.synced && done.leftovers.empty()) {
    ::unlink(journalPath.c_str());
  } else if (done.synced) {
    KeepLeftovers(journalPath, journal);
  }
  done.parent.logEntries = static_cast<std::uint16_t>(header.logEntries + added);
  done.parent.endOfFile = static_cast<std::uint32_t>(item.size());
  return done;
}

}  // namespace vss6
