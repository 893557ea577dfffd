#include "engines/vss6/DestroyJournal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <sstream>

#include "engines/vss6/FileLocks.h"
#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/LogActions.h"
#include "platform/text/AsciiCase.h"

namespace vss6 {
namespace {

constexpr std::string_view kFirstLine = "Scourwell destroy journal 1";
constexpr std::size_t kMaxJournalBytes = 1u << 20;
constexpr std::string_view kLeftoversPrefix = "scourwell-destroy.";
constexpr std::string_view kLeftoversSuffix = ".leftovers";
// The item file's magic, its type and version, and the DH record.
constexpr std::size_t kHeaderBytes = 0x34 + 8 + 356;

template <class Number>
bool ParseNumber(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

std::filesystem::path Clean(const std::filesystem::path& path) {
  std::filesystem::path clean = path.lexically_normal();
  return clean.has_filename() ? clean : clean.parent_path();
}

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// The folder holding `path`: "." for a bare name.
std::filesystem::path FolderOf(const std::filesystem::path& path) {
  return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

// A file a journal may name: "<data>/<letter>/<physical>" with ".a", ".b" or ".new" after it.
bool InLetterFolder(const std::filesystem::path& file, const std::filesystem::path& data) {
  if (Clean(file.parent_path().parent_path()) != Clean(data)) {
    return false;
  }
  const std::string letter = file.parent_path().filename().string();
  const std::string name = file.filename().string();
  if (letter.size() != 1 || name.size() < 8 || !IsPhysicalName(name.substr(0, 8)) ||
      !text::AsciiEqualNoCase(name.substr(0, 1), letter)) {
    return false;
  }
  const std::string rest = text::AsciiLower(name.substr(8));
  return rest.empty() || rest == ".a" || rest == ".b" || rest == ".new" || rest == ".a.new" ||
         rest == ".b.new";
}

// The journal's files in the data folder `data`: the journal names them by the path its
// destroy used, which another machine (a share mounted elsewhere) or an older version (a path
// relative to its working folder) writes differently. Nothing when the journal is another data
// folder's.
std::optional<DestroyJournal> InDataFolder(DestroyJournal journal,
                                           const std::filesystem::path& data) {
  std::error_code error;
  if (!std::filesystem::equivalent(journal.data, data, error) &&
      !text::AsciiEqualNoCase(Clean(journal.data).filename().string(),
                              Clean(data).filename().string())) {
    return std::nullopt;
  }
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

// The entry file the parent's header names now; nothing when the parent cannot be read.
std::optional<std::filesystem::path> CurrentEntryFile(DataFolder& data, const std::string& parent) {
  try {
    const std::filesystem::path itemPath = data.FindItemFile(parent);
    if (itemPath.empty()) {
      return std::filesystem::path();  // the parent is gone: it names no entry file
    }
    const ItemHeader header =
        ReadItemHeader(data.Read(itemPath, kHeaderBytes - 1), itemPath.string());
    return data.FindItemFile(parent, header.dataExtension);
  } catch (const FormatError&) {
    return std::nullopt;
  } catch (const files::FileError&) {
    return std::nullopt;
  }
}

bool IsEntryFileOf(const std::filesystem::path& file, const std::string& parent) {
  const std::string name = text::AsciiUpper(file.filename().string());
  return name.size() == 10 && name.compare(0, 8, parent) == 0 && name[8] == '.';
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  return text::AsciiEqualNoCase(a.filename().string(), b.filename().string());
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
    const std::uint16_t action = ReadU16(record.body, 4, file);
    const bool destroy = action == kDestroyFile || action == kDestroyProject;
    const bool recover = action == kRecoverFile || action == kRecoverProject;
    const std::string physical = text::AsciiUpper(std::string(
        FieldText(record.body, destroy ? kDestroyPhysical : kLogChildPhysical, 8, file)));
    return (destroy || recover) && ReadU16(record.body, 6, file) == journal.revision &&
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

// Journals being written when their program died ("<journal>.<process id>"): never linked into
// place, so nothing was done under them.
void RemoveUnfinishedJournals(const files::FileDescriptor& folder,
                              const std::filesystem::path& path) {
  const std::string prefix = path.filename().string() + ".";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(FolderOf(path), error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        !std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                     text::IsAsciiDigit)) {
      continue;
    }
    try {
      bool inUse = false;
      if (OpenLocked(folder, name, entry.path(), inUse)) {
        ::unlinkat(folder.Get(), name.c_str(), 0);
      }
    } catch (const files::FileError&) {
      // Not a plain file of ours: left alone.
    }
  }
}

// The names of the leftovers records in the journal's folder.
std::vector<std::string> LeftoversRecords(const std::filesystem::path& path) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(FolderOf(path), error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > kLeftoversPrefix.size() + kLeftoversSuffix.size() &&
        name.compare(0, kLeftoversPrefix.size(), kLeftoversPrefix) == 0 &&
        name.compare(name.size() - kLeftoversSuffix.size(), kLeftoversSuffix.size(),
                     kLeftoversSuffix) == 0) {
      names.push_back(name);
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

void FinishJournal(const files::FileDescriptor& folder, const std::filesystem::path& path,
                   const std::filesystem::path& data, Recovery& recovery) {
  const std::string name = path.filename().string();
  const auto leftAlone = [&](const std::string& why) {
    const std::string text =
        Quoted(path) + " tells of a destroy that was cut off, and " + why +
        ". It was left alone, and no destroy can run in this database until it is dealt with";
    recovery.notes.push_back(text);
    recovery.blocking = text;
  };
  bool inUse = false;
  std::optional<files::FileDescriptor> fd;
  try {
    fd = OpenLocked(folder, name, path, inUse);
  } catch (const files::FileError& error) {
    leftAlone(std::string("it cannot be finished here: ") + error.what());
    return;
  }
  if (!fd) {
    if (inUse) {
      recovery.blocking = "Another destroy is under way in this database (" + Quoted(path) +
                          " is in use); nothing was changed. Try again when it is done";
    }
    return;
  }
  std::optional<DestroyJournal> journal;
  try {
    journal = ParseJournal(files::ReadOpenFile(fd->Get(), path, kMaxJournalBytes));
  } catch (const files::FileError& error) {
    leftAlone(std::string("it cannot be read: ") + error.what());
    return;
  }
  if (!journal) {
    leftAlone(
        "it is not a journal this program can read, or names files outside the data "
        "folder. Run 'vssdb check' on the database, and remove it if no destroy was under "
        "way");
    return;
  }
  const std::optional<DestroyJournal> here = InDataFolder(*journal, data);
  if (!here) {
    leftAlone("it is about the data folder " + Quoted(journal->data) + ", not " + Quoted(data));
    return;
  }
  try {
    DataFolder database(data);
    const std::string item = "A destroy of " + here->physical;
    switch (Committed(database, *here)) {
      case Effect::kUnknown:
        leftAlone("whether it took effect cannot be told: the item file of its project " +
                  here->parent + " cannot be read");
        return;
      case Effect::kNotTaken:
        UndoDestroy(database, *here);
        ::unlinkat(folder.Get(), name.c_str(), 0);
        recovery.notes.push_back(item + " that was cut off before it took effect has been undone");
        return;
      case Effect::kTaken:
        break;
    }
    const std::vector<std::string> failures = RemoveDestroyedFiles(database, *here);
    if (failures.empty()) {
      ::unlinkat(folder.Get(), name.c_str(), 0);
      recovery.notes.push_back(item +
                               " that was cut off has been finished: its files were removed");
      return;
    }
    KeepLeftovers(path, *here);
    recovery.notes.push_back(item + " that was cut off has been finished, but " +
                             std::to_string(failures.size()) +
                             " of its files could not be removed: " + Listed(failures) +
                             ". The next destroy or open that can removes them");
  } catch (const std::exception& error) {
    leftAlone(std::string("it cannot be finished here: ") + error.what());
  }
}

void RemoveLeftovers(const files::FileDescriptor& folder, const std::filesystem::path& path,
                     const std::string& name, const std::filesystem::path& data,
                     Recovery& recovery) {
  const std::filesystem::path shown = path.parent_path() / name;
  try {
    bool inUse = false;
    const std::optional<files::FileDescriptor> fd = OpenLocked(folder, name, shown, inUse);
    if (!fd) {
      return;
    }
    const std::optional<DestroyJournal> journal =
        ParseJournal(files::ReadOpenFile(fd->Get(), shown, kMaxJournalBytes));
    const std::optional<DestroyJournal> here =
        journal ? InDataFolder(*journal, data) : std::nullopt;
    if (!here) {
      recovery.notes.push_back(Quoted(shown) +
                               " is not a record of this database's files; it "
                               "was left alone");
      return;
    }
    DataFolder database(data);
    const std::vector<std::string> failures = RemoveDestroyedFiles(database, *here);
    if (failures.empty()) {
      ::unlinkat(folder.Get(), name.c_str(), 0);
      recovery.notes.push_back("The files an earlier destroy of " + here->physical +
                               " left behind have been removed");
    }
  } catch (const files::FileError& error) {
    recovery.notes.push_back(Quoted(shown) + " was left alone: " + error.what());
  } catch (const FormatError& error) {
    recovery.notes.push_back(Quoted(shown) + " was left alone: " + error.what());
  }
}

}  // namespace

std::string FormatJournal(const DestroyJournal& journal) {
  std::ostringstream text;
  text << kFirstLine << '\n'
       << "data=" << journal.data.string() << '\n'
       << "parent=" << journal.parent << '\n'
       << "physical=" << journal.physical << '\n'
       << "record=" << journal.record << '\n'
       << "revision=" << journal.revision << '\n';
  for (const auto& file : journal.temporaries) {
    text << "temporary=" << file.string() << '\n';
  }
  for (const auto& file : journal.remove) {
    text << "remove=" << file.string() << '\n';
  }
  return text.str();
}

std::optional<DestroyJournal> ParseJournal(std::string_view text) {
  DestroyJournal journal;
  std::istringstream lines{std::string(text)};
  std::string line;
  if (!std::getline(lines, line) || line != kFirstLine) {
    return std::nullopt;
  }
  while (std::getline(lines, line)) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
      return std::nullopt;
    }
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    bool good = true;
    if (key == "data") {
      journal.data = value;
    } else if (key == "parent") {
      journal.parent = value;
    } else if (key == "physical") {
      journal.physical = value;
    } else if (key == "record") {
      good = ParseNumber(value, journal.record);
    } else if (key == "revision") {
      good = ParseNumber(value, journal.revision);
    } else if (key == "temporary") {
      journal.temporaries.emplace_back(value);
    } else if (key == "remove") {
      journal.remove.emplace_back(value);
    } else {
      good = false;
    }
    if (!good) {
      return std::nullopt;
    }
  }
  const auto outside = [&](const std::filesystem::path& file) {
    return !InLetterFolder(file, journal.data);
  };
  if (journal.data.empty() || !IsPhysicalName(journal.parent) ||
      !IsPhysicalName(journal.physical) || journal.record == 0 ||
      std::any_of(journal.temporaries.begin(), journal.temporaries.end(), outside) ||
      std::any_of(journal.remove.begin(), journal.remove.end(), outside)) {
    return std::nullopt;
  }
  return journal;
}

std::filesystem::path JournalPath(const std::filesystem::path& folder) {
  return folder / "scourwell-destroy.journal";
}

files::FileDescriptor WriteJournal(const std::filesystem::path& path, const DestroyJournal& journal,
                                   const files::Ownership& ownership) {
  const std::string text = FormatJournal(journal);
  const std::filesystem::path folderPath = FolderOf(path);
  const files::FileDescriptor folder = files::OpenFolder(folderPath);
  const std::string name = path.filename().string();
  const std::string temporary = name + "." + std::to_string(::getpid());
  ::unlinkat(folder.Get(), temporary.c_str(), 0);  // left by a process of ours that died
  files::FileDescriptor fd = files::CreateNewFile(folder, folderPath, temporary, 0600);
  const auto fail = [&](const std::string& what, int error) {
    ::unlinkat(folder.Get(), temporary.c_str(), 0);
    throw files::FileError("Cannot " + what + " " + Quoted(path) + ": " + std::strerror(error),
                           error);
  };
  if (!LockOpenFile(fd.Get())) {
    fail("lock", errno);
  }
  struct stat made {};
  if (::fstat(fd.Get(), &made) != 0) {
    fail("write", errno);
  }
  if ((made.st_uid != ownership.owner || made.st_gid != ownership.group) &&
      ::fchown(fd.Get(), ownership.owner, ownership.group) != 0) {
    fail("give its owner and group to", errno);
  }
  if (::fchmod(fd.Get(), ownership.mode & 0666) != 0) {
    fail("set the permissions of", errno);
  }
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t now = ::write(fd.Get(), text.data() + written, text.size() - written);
    if (now < 0 && errno == EINTR) {
      continue;
    }
    if (now <= 0) {
      fail("write", now < 0 ? errno : ENOSPC);
    }
    written += static_cast<std::size_t>(now);
  }
  if (::fsync(fd.Get()) != 0) {
    fail("write", errno);
  }
  if (::linkat(folder.Get(), temporary.c_str(), folder.Get(), name.c_str(), 0) != 0) {
    const int error = errno;
    if (error == EEXIST) {
      ::unlinkat(folder.Get(), temporary.c_str(), 0);
      throw LockedError("Another destroy is under way in this database (" + Quoted(path) +
                        " is there); nothing was changed. Try again when it is done");
    }
    fail("make", error);
  }
  ::unlinkat(folder.Get(), temporary.c_str(), 0);
  ::fsync(folder.Get());
  return fd;
}

void UndoDestroy(DataFolder& data, const DestroyJournal& journal) {
  for (const auto& file : journal.temporaries) {
    try {
      data.Remove(file);
    } catch (const files::FileError&) {
    } catch (const FormatError&) {
    }
  }
  // The entry file the destroy wrote: its old one's name with the other extension.
  const auto old =
      std::find_if(journal.remove.begin(), journal.remove.end(),
                   [&](const auto& file) { return IsEntryFileOf(file, journal.parent); });
  const std::optional<std::filesystem::path> current = CurrentEntryFile(data, journal.parent);
  if (old == journal.remove.end() || !current) {
    return;  // which is current is not known: a stale entry file more is harmless
  }
  const std::string other = text::AsciiLower(old->extension().string()) == ".a" ? ".B" : ".A";
  const std::filesystem::path writtenPath = data.FindItemFile(journal.parent, other);
  if (!writtenPath.empty() && !SameFile(writtenPath, *current)) {
    try {
      data.Remove(writtenPath);
    } catch (const files::FileError&) {
    } catch (const FormatError&) {
    }
  }
}

std::vector<std::string> RemoveDestroyedFiles(DataFolder& data, const DestroyJournal& journal) {
  std::vector<std::string> failures;
  const std::optional<std::filesystem::path> current = CurrentEntryFile(data, journal.parent);
  std::vector<std::filesystem::path> files = journal.temporaries;
  files.insert(files.end(), journal.remove.begin(), journal.remove.end());
  for (const auto& file : files) {
    // The parent's entry files stay unless the one its header names is known and is another.
    if (IsEntryFileOf(file, journal.parent) && (!current || SameFile(file, *current))) {
      continue;
    }
    try {
      data.Remove(file);
    } catch (const files::FileError& error) {
      failures.push_back(error.what());
    } catch (const FormatError& error) {
      failures.push_back(error.what());
    }
  }
  return failures;
}

void KeepLeftovers(const std::filesystem::path& path, const DestroyJournal& journal) {
  const files::FileDescriptor folder = files::OpenFolder(FolderOf(path));
  const std::string leftovers =
      std::string(kLeftoversPrefix) + journal.physical + std::string(kLeftoversSuffix);
  if (::renameat(folder.Get(), path.filename().c_str(), folder.Get(), leftovers.c_str()) != 0) {
    throw files::FileError("Cannot keep " + Quoted(path) + " as " +
                               Quoted(path.parent_path() / leftovers) + ": " + std::strerror(errno),
                           errno);
  }
  ::fsync(folder.Get());
}

Recovery FinishInterruptedDestroy(const std::filesystem::path& path,
                                  const std::filesystem::path& data) {
  Recovery recovery;
  files::FileDescriptor folder;
  try {
    folder = files::OpenFolder(FolderOf(path));
  } catch (const files::FileError&) {
    return recovery;  // no folder, no journal
  }
  RemoveUnfinishedJournals(folder, path);
  FinishJournal(folder, path, data, recovery);
  for (const std::string& name : LeftoversRecords(path)) {
    RemoveLeftovers(folder, path, name, data, recovery);
  }
  return recovery;
}

std::vector<std::string> PendingDestroys(const std::filesystem::path& path,
                                         const std::filesystem::path& data) {
  std::vector<std::string> faults;
  std::error_code error;
  if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
    faults.push_back("journal: " + Quoted(path) +
                     " tells of a destroy that was cut off; open the database (vssdb list) to "
                     "finish it");
  }
  for (const std::string& name : LeftoversRecords(path)) {
    const std::filesystem::path record = path.parent_path() / name;
    std::optional<DestroyJournal> journal;
    try {
      journal = ParseJournal(files::ReadPlainFile(record, kMaxJournalBytes));
    } catch (const files::FileError&) {
    }
    const std::optional<DestroyJournal> here =
        journal ? InDataFolder(*journal, data) : std::nullopt;
    if (!here) {
      faults.push_back("leftovers: " + Quoted(record) + " cannot be read");
      continue;
    }
    for (const std::filesystem::path& file : here->remove) {
      if (!IsEntryFileOf(file, here->parent) &&
          std::filesystem::exists(std::filesystem::symlink_status(file, error))) {
        faults.push_back("leftovers: " + Quoted(file) + " was left by a destroy of " +
                         here->physical +
                         " and could not be removed yet; the next destroy or open that can "
                         "removes it");
      }
    }
  }
  return faults;
}

}  // namespace vss6
