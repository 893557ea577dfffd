// What the next open does with a journal or record left beside a database: finishes or undoes the
// change it tells of, when it is provably this database's, removing no file an entry still uses.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>

#include "engines/vss6/DestroyJournal.h"
#include "engines/vss6/EntryCensus.h"
#include "engines/vss6/FileLocks.h"
#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/Layout.h"
#include "engines/vss6/LogActions.h"
#include "platform/text/AsciiCase.h"

namespace vss6 {
namespace {

constexpr std::size_t kMaxJournalBytes = 1u << 20;
// A journal being written that is still empty this long after it was made was left by a program
// that died before its first byte (a live one locks and fills it at once).
constexpr std::time_t kEmptyJournalAge = 600;

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// Why the journal is not one of the data folder `data`'s, or nothing when it is: the folder it
// names must be this one, told by the file system rather than by a name. A journal of this
// version carries the folder's inode, which must be this folder's; where the folder it names by
// path is there, it must be this one too (a share mounted elsewhere by the machine that wrote it
// need not be). An older version's journal names the folder by path alone, which must lead here.
std::optional<std::string> NotThisDatabase(const DestroyJournal& journal, const DataFolder& data) {
  const struct stat here = data.Status();
  std::error_code error;
  const bool samePath = std::filesystem::equivalent(journal.data, data.Path(), error);
  const bool pathElsewhere = !samePath && std::filesystem::exists(journal.data, error);
  if (journal.dataInode == 0) {
    if (samePath) {
      return std::nullopt;
    }
    return "it is about the data folder " + Quoted(journal.data) + ", not " + Quoted(data.Path());
  }
  if (journal.dataInode != static_cast<std::uint64_t>(here.st_ino)) {
    return "it was written for another data folder than " + Quoted(data.Path()) +
           (samePath ? " (the folder was replaced since, as by a restore from a backup)" : "");
  }
  if (pathElsewhere) {
    return "it is about the data folder " + Quoted(journal.data) + ", not " + Quoted(data.Path());
  }
  return std::nullopt;
}

// The journal's files in the data folder `data`: the journal names them by the path its
// destroy used, which another machine (a share mounted elsewhere) or an older version (a path
// relative to its working folder) writes differently.
DestroyJournal InDataFolder(DestroyJournal journal, const std::filesystem::path& data) {
  const auto moved = [&](std::vector<std::filesystem::path>& files) {
    for (std::filesystem::path& file : files) {
      file = data / file.parent_path().filename() / file.filename();
    }
  };
  moved(journal.temporaries);
  moved(journal.remove);
  journal.data = data;
  return journal;
}

enum class Effect { kTaken, kNotTaken, kUnknown };

// Whether the parent's log holds the change's record: then the change took effect.
Effect Committed(DataFolder& data, const DestroyJournal& journal) {
  try {
    const std::filesystem::path itemPath = data.FindItemFile(journal.parent);
    if (itemPath.empty()) {
      return Effect::kUnknown;
    }
    const std::vector<unsigned char> bytes = data.ReadWhole(itemPath);
    const std::string file = itemPath.string();
    if (journal.record >= bytes.size()) {
      return Effect::kNotTaken;  // the old file, which ends where the record was to go
    }
    const Record record = ReadRecord(bytes, journal.record, "EL", file);
    // A destroy's record, or a recover's (which journals the same way).
    const std::uint16_t action = ReadU16(record.body, kLogActionAt, file);
    const bool destroy = action == kDestroyFile || action == kDestroyProject;
    const bool recover = action == kRecoverFile || action == kRecoverProject;
    const std::string physical = text::AsciiUpper(std::string(FieldText(
        record.body, destroy ? kDestroyPhysical : kLogChildPhysical, kPhysicalSize, file)));
    return (destroy || recover) && ReadU16(record.body, kLogRevisionAt, file) == journal.revision &&
                   physical == journal.physical
               ? Effect::kTaken
               : Effect::kNotTaken;
  } catch (const FormatError&) {
    return Effect::kNotTaken;  // no sound record there: another program's, or none
  } catch (const files::FileError&) {
    return Effect::kUnknown;
  }
}

// A journal (or leftovers record) of the folder `folder`, opened without following a link and
// locked: nothing when it is not there, another program holds it, or it was finished and removed
// by another program meanwhile. Throws files::FileError when it cannot be opened or is not a
// plain file.
std::optional<files::FileDescriptor> OpenLocked(const files::FileDescriptor& folder,
                                                const std::string& name,
                                                const std::filesystem::path& shown, bool& inUse) {
  inUse = false;
  struct stat status {};
  if (::fstatat(folder.Get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT) {
    return std::nullopt;
  }
  files::FileDescriptor fd = files::OpenPlainFileAt(folder.Get(), name, shown, O_RDWR);
  if (!LockOpenFile(fd.Get())) {
    inUse = errno == EAGAIN || errno == EACCES;
    if (!inUse) {
      throw files::FileError("Cannot lock " + Quoted(shown) + ": " + std::strerror(errno), errno);
    }
    return std::nullopt;
  }
  // Another program may have finished it and removed it while this one waited for the lock.
  struct stat open {};
  if (::fstat(fd.Get(), &open) != 0 ||
      ::fstatat(folder.Get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
      open.st_ino != status.st_ino || open.st_dev != status.st_dev) {
    return std::nullopt;
  }
  return fd;
}

std::string Listed(const std::vector<std::string>& failures) {
  std::string text;
  for (const std::string& failure : failures) {
    text += (text.empty() ? "" : "; ") + failure;
  }
  return text;
}

std::vector<std::string> Shown(const std::vector<std::filesystem::path>& files) {
  std::vector<std::string> shown;
  for (const std::filesystem::path& file : files) {
    shown.push_back(Quoted(file));
  }
  return shown;
}

// The names in the journal's folder that `wanted` picks, in order.
template <class Wanted>
std::vector<std::string> NamesBeside(const std::filesystem::path& path, Wanted&& wanted) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(JournalFolder(path), error)) {
    if (std::string name = entry.path().filename().string(); wanted(name)) {
      names.push_back(std::move(name));
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Journals being written when their program died: never linked into place, so nothing was done
// under them. One is taken only when its lock can be had and it holds bytes (its program locks it
// before the first) or has stayed empty too long to be one being written now.
void RemoveUnfinishedJournals(const files::FileDescriptor& folder,
                              const std::filesystem::path& path) {
  const auto unfinished = [&](const std::string& name) { return IsUnfinishedJournal(name, path); };
  for (const std::string& name : NamesBeside(path, unfinished)) {
    try {
      bool inUse = false;
      const std::optional<files::FileDescriptor> fd =
          OpenLocked(folder, name, JournalFolder(path) / name, inUse);
      struct stat status {};
      if (fd && ::fstat(fd->Get(), &status) == 0 &&
          (status.st_size > 0 || std::time(nullptr) - status.st_mtime > kEmptyJournalAge)) {
        ::unlinkat(folder.Get(), name.c_str(), 0);
      }
    } catch (const files::FileError&) {
      // Not a plain file of ours: left alone.
    }
  }
}

// What the recovery of one database needs: its data folder, opened once, and the files its
// entries use, counted once when a journal or record first asks.
class Recoverer {
 public:
  Recoverer(const std::filesystem::path& path, const std::filesystem::path& data,
            Recovery& recovery)
      : path_(path), dataPath_(data), recovery_(recovery) {}

  void FinishJournal(const files::FileDescriptor& folder) {
    const std::string name = path_.filename().string();
    bool inUse = false;
    std::optional<files::FileDescriptor> fd;
    try {
      fd = OpenLocked(folder, name, path_, inUse);
    } catch (const files::FileError& error) {
      LeftAlone(std::string("it cannot be finished here: ") + error.what());
      return;
    }
    if (!fd) {
      if (inUse) {
        recovery_.blocking = "Another destroy is under way in this database (" + Quoted(path_) +
                             " is in use); nothing was changed. Try again when it is done";
      }
      return;
    }
    std::optional<DestroyJournal> journal;
    try {
      journal = ParseJournal(files::ReadOpenFile(fd->Get(), path_, kMaxJournalBytes));
    } catch (const files::FileError& error) {
      LeftAlone(std::string("it cannot be read: ") + error.what());
      return;
    }
    if (!journal) {
      LeftAlone(
          "it is not a journal this program can read, or names files outside the data "
          "folder. Run 'vssdb check' on the database, and remove it if no destroy was under "
          "way");
      return;
    }
    try {
      DataFolder& data = Data();
      if (const std::optional<std::string> why = NotThisDatabase(*journal, data)) {
        LeftAlone(*why);
        return;
      }
      const DestroyJournal here = InDataFolder(*journal, dataPath_);
      const std::string item = "A destroy of " + here.physical;
      const Effect effect = Committed(data, here);
      if (effect == Effect::kUnknown) {
        LeftAlone("whether it took effect cannot be told: the item file of its project " +
                  here.parent + " cannot be read");
        return;
      }
      UsedFiles* used = Used();
      if (used == nullptr) {
        return;
      }
      if (effect == Effect::kNotTaken) {
        UndoDestroy(data, here, used);
        ::unlinkat(folder.Get(), name.c_str(), 0);
        recovery_.notes.push_back(item + " that was cut off before it took effect has been undone");
        return;
      }
      const FilesRemoved removed = RemoveDestroyedFiles(data, here, used);
      if (removed.failures.empty() && removed.inUse.empty()) {
        ::unlinkat(folder.Get(), name.c_str(), 0);
        recovery_.notes.push_back(item +
                                  " that was cut off has been finished: its files were removed");
        return;
      }
      KeepLeftovers(path_, here);
      recovery_.notes.push_back(item + " that was cut off has been finished, but " +
                                Unremoved(removed) + ". The next destroy or open that can " +
                                "removes what it may");
    } catch (const std::exception& error) {
      LeftAlone(std::string("it cannot be finished here: ") + error.what());
    }
  }

  void RemoveLeftovers(const files::FileDescriptor& folder, const std::string& name) {
    const std::filesystem::path shown = JournalFolder(path_) / name;
    try {
      bool inUse = false;
      const std::optional<files::FileDescriptor> fd = OpenLocked(folder, name, shown, inUse);
      if (!fd) {
        return;
      }
      const std::optional<DestroyJournal> journal =
          ParseJournal(files::ReadOpenFile(fd->Get(), shown, kMaxJournalBytes));
      std::optional<std::string> why;
      if (!journal) {
        why = "it is not a record this program can read";
      } else {
        why = NotThisDatabase(*journal, Data());
      }
      if (why) {
        recovery_.notes.push_back(Quoted(shown) + " was left alone: " + *why);
        return;
      }
      UsedFiles* used = Used();
      if (used == nullptr) {
        return;
      }
      const DestroyJournal here = InDataFolder(*journal, dataPath_);
      const FilesRemoved removed = RemoveDestroyedFiles(Data(), here, used);
      if (removed.failures.empty() && removed.inUse.empty()) {
        ::unlinkat(folder.Get(), name.c_str(), 0);
        recovery_.notes.push_back("The files an earlier destroy of " + here.physical +
                                  " left behind have been removed");
      } else if (!removed.inUse.empty()) {
        recovery_.notes.push_back(Quoted(shown) + " was kept: " + Unremoved(removed));
      }
    } catch (const files::FileError& error) {
      recovery_.notes.push_back(Quoted(shown) + " was left alone: " + error.what());
    } catch (const FormatError& error) {
      recovery_.notes.push_back(Quoted(shown) + " was left alone: " + error.what());
    }
  }

 private:
  DataFolder& Data() {
    if (!data_) {
      data_ = std::make_unique<DataFolder>(dataPath_);
    }
    return *data_;
  }

  // The files the entries use; null, with the journal at hand left alone, when they cannot be
  // told.
  UsedFiles* Used() {
    if (!used_) {
      try {
        used_ = std::make_unique<UsedFiles>(Data());
      } catch (const FormatError& error) {
        LeftAlone(std::string("which files the database's entries still use cannot be told (") +
                  error.what() + "), so none of those it names was removed");
        return nullptr;
      }
    }
    return used_.get();
  }

  void LeftAlone(const std::string& why) {
    const std::string text =
        Quoted(path_) + " tells of a destroy that was cut off, and " + why +
        ". It was left alone, and no destroy can run in this database until it is dealt with";
    recovery_.notes.push_back(text);
    recovery_.blocking = text;
  }

  static std::string Unremoved(const FilesRemoved& removed) {
    std::string text;
    if (!removed.failures.empty()) {
      text = std::to_string(removed.failures.size()) +
             " of its files could not be removed: " + Listed(removed.failures);
    }
    if (!removed.inUse.empty()) {
      text += (text.empty() ? "" : "; and ") + std::to_string(removed.inUse.size()) +
              " of the files it names are used by entries of the database, so none of its files "
              "was removed: " +
              Listed(Shown(removed.inUse));
    }
    return text;
  }

  const std::filesystem::path& path_;
  const std::filesystem::path& dataPath_;
  Recovery& recovery_;
  std::unique_ptr<DataFolder> data_;
  std::unique_ptr<UsedFiles> used_;
};

// What the check says of one journal or record: nothing when it names no fault.
void CheckRecord(const std::filesystem::path& record, const char* kind,
                 const std::filesystem::path& data, std::unique_ptr<UsedFiles>& used,
                 DataFolder& folder, std::vector<std::string>& faults) {
  std::optional<DestroyJournal> journal;
  try {
    journal = ParseJournal(files::ReadPlainFile(record, kMaxJournalBytes));
  } catch (const files::FileError&) {
  }
  if (!journal) {
    faults.push_back(
        std::string(kind) + ": " + Quoted(record) +
        " cannot be read as a record of this program's; it is left alone" +
        (std::string(kind) == "journal" ? " and no destroy can run until it is removed" : ""));
    return;
  }
  if (const std::optional<std::string> why = NotThisDatabase(*journal, folder)) {
    faults.push_back(std::string(kind) + ": " + Quoted(record) + " is not this database's (" +
                     *why + "); it is left alone");
    return;
  }
  const DestroyJournal here = InDataFolder(*journal, data);
  if (std::string(kind) == "journal") {
    faults.push_back("journal: " + Quoted(record) +
                     " tells of a destroy that was cut off; open the database as a user who may "
                     "destroy (vssdb list) to finish it");
  }
  if (!used) {
    try {
      used = std::make_unique<UsedFiles>(folder);
    } catch (const FormatError& error) {
      faults.push_back(std::string(kind) + ": which of the files " + Quoted(record) +
                       " names are still used cannot be told: " + error.what());
      return;
    }
  }
  std::error_code error;
  for (const std::filesystem::path& file : here.remove) {
    if (!std::filesystem::exists(std::filesystem::symlink_status(file, error))) {
      continue;
    }
    if (used->Uses(file)) {
      faults.push_back(std::string(kind) + ": " + Quoted(file) + ", which " + Quoted(record) +
                       " names, is used by an entry of the database, so it is kept; remove the "
                       "record once the database is sound");
    } else if (std::string(kind) == "leftovers" &&
               !text::AsciiEqualNoCase(file.filename().string().substr(0, 8), here.parent)) {
      faults.push_back("leftovers: " + Quoted(file) + " was left by a destroy of " + here.physical +
                       " and could not be removed yet; the next destroy or open that can "
                       "removes it");
    }
  }
}

}  // namespace

Recovery FinishInterruptedDestroy(const std::filesystem::path& path,
                                  const std::filesystem::path& data, bool mayChange) {
  Recovery recovery;
  files::FileDescriptor folder;
  try {
    folder = files::OpenFolder(JournalFolder(path));
  } catch (const files::FileError&) {
    return recovery;  // no folder, no journal
  }
  const std::vector<std::string> leftovers = NamesBeside(path, IsLeftoversName);
  if (!mayChange) {
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
      const std::string text = Quoted(path) +
                               " tells of a destroy that was cut off; it is finished or undone by "
                               "the next open of a user who may destroy";
      recovery.notes.push_back(text);
      recovery.blocking = text;
    }
    return recovery;
  }
  RemoveUnfinishedJournals(folder, path);
  Recoverer recoverer(path, data, recovery);
  recoverer.FinishJournal(folder);
  for (const std::string& name : leftovers) {
    recoverer.RemoveLeftovers(folder, name);
  }
  return recovery;
}

std::vector<std::string> PendingDestroys(const std::filesystem::path& path,
                                         const std::filesystem::path& data) {
  std::vector<std::string> faults;
  std::error_code error;
  std::vector<std::filesystem::path> records;
  if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
    records.push_back(path);
  }
  for (const std::string& name : NamesBeside(path, IsLeftoversName)) {
    records.push_back(JournalFolder(path) / name);
  }
  if (records.empty()) {
    return faults;
  }
  try {
    DataFolder folder(data);
    std::unique_ptr<UsedFiles> used;
    for (const std::filesystem::path& record : records) {
      CheckRecord(record, record == path ? "journal" : "leftovers", data, used, folder, faults);
    }
  } catch (const FormatError& failure) {
    faults.push_back(std::string("journal: ") + failure.what());
  }
  return faults;
}

}  // namespace vss6
