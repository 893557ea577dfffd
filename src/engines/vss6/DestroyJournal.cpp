#include "engines/vss6/DestroyJournal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <iterator>
#include <sstream>

#include "engines/vss6/EntryCensus.h"
#include "engines/vss6/FileLocks.h"
#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/Layout.h"
#include "platform/files/PlaceFile.h"
#include "platform/text/AsciiCase.h"

namespace vss6 {
namespace {

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// The entry file the parent's header names now; nothing when the parent cannot be read.
std::optional<std::filesystem::path> CurrentEntryFile(DataFolder& data, const std::string& parent) {
  try {
    const std::filesystem::path itemPath = data.FindItemFile(parent);
    if (itemPath.empty()) {
      return std::filesystem::path();  // the parent is gone: it names no entry file
    }
    const ItemHeader header =
        ReadItemHeader(data.Read(itemPath, kItemHeaderBytes - 1), itemPath.string());
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

// This host's name as it may stand in a file name: letters, digits and '-'.
std::string HostPart() {
  char name[HOST_NAME_MAX + 1] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') {
    return "host";
  }
  std::string host = name;
  for (char& c : host) {
    if (!text::IsAsciiLetter(c) && !text::IsAsciiDigit(c)) {
      c = '-';
    }
  }
  return host;
}

// Removes `file` unless `used` says an entry uses it; false when it was kept for that.
bool RemoveUnlessUsed(DataFolder& data, const std::filesystem::path& file, UsedFiles* used) {
  if (used != nullptr && used->Uses(file)) {
    return false;
  }
  data.Remove(file);
  return true;
}

}  // namespace

DestroyJournal JournalFor(const DataFolder& data) {
  DestroyJournal journal;
  journal.data = std::filesystem::absolute(data.Path()).lexically_normal();
  journal.dataInode = static_cast<std::uint64_t>(data.Status().st_ino);
  return journal;
}

files::FileDescriptor WriteJournal(const std::filesystem::path& path, const DestroyJournal& journal,
                                   const files::Ownership& ownership) {
  // Its files by their absolute paths too, below the data folder's, whatever folder this program
  // was started in.
  DestroyJournal absolute = journal;
  for (auto* files : {&absolute.temporaries, &absolute.remove}) {
    for (std::filesystem::path& file : *files) {
      file = absolute.data / file.parent_path().filename() / file.filename();
    }
  }
  const std::string text = FormatJournal(absolute);
  const std::filesystem::path folderPath = JournalFolder(path);
  const files::FileDescriptor folder = files::OpenFolder(folderPath);
  const std::string name = path.filename().string();
  const std::string temporary = name + "." + HostPart() + "." + std::to_string(::getpid());
  ::unlinkat(folder.Get(), temporary.c_str(), 0);  // left by a process of ours that died
  const files::Ownership given{ownership.owner, ownership.group,
                               static_cast<mode_t>(ownership.mode & 0666)};
  files::Placement placement;
  placement.temporary = temporary;
  placement.name = [&](int) { return name; };
  placement.ownership = &given;
  try {
    return files::PlaceNewFile(folder, folderPath, placement,
                               [&](int fd) {
                                 // Locked before it has its name: whoever finds the journal finds
                                 // it locked while this destroy lives.
                                 if (!LockOpenFile(fd)) {
                                   throw files::FileError(
                                       "Cannot lock " + Quoted(path) + ": " + std::strerror(errno),
                                       errno);
                                 }
                                 files::WriteAll(fd, text, path);
                               })
        .file;
  } catch (const files::NameTaken&) {
    throw LockedError("Another destroy is under way in this database (" + Quoted(path) +
                      " is there); nothing was changed. Try again when it is done");
  }
}

void UndoDestroy(DataFolder& data, const DestroyJournal& journal, UsedFiles* used) {
  for (const auto& file : journal.temporaries) {
    try {
      RemoveUnlessUsed(data, file, used);
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
      RemoveUnlessUsed(data, writtenPath, used);
    } catch (const files::FileError&) {
    } catch (const FormatError&) {
    }
  }
}

FilesRemoved RemoveDestroyedFiles(DataFolder& data, const DestroyJournal& journal,
                                  UsedFiles* used) {
  FilesRemoved removed;
  const std::optional<std::filesystem::path> current = CurrentEntryFile(data, journal.parent);
  std::vector<std::filesystem::path> files;
  for (const auto* list : {&journal.temporaries, &journal.remove}) {
    for (const auto& file : *list) {
      // The parent's entry files stay unless the one its header names is known and is another.
      if (!IsEntryFileOf(file, journal.parent) || (current && !SameFile(file, *current))) {
        files.push_back(file);
      }
    }
  }
  // A record that names a file an entry uses is not what a destroy of ours leaves (stale, or not
  // ours at all): none of what it names is removed.
  if (used != nullptr) {
    std::copy_if(files.begin(), files.end(), std::back_inserter(removed.inUse),
                 [&](const auto& file) { return used->Uses(file); });
    if (!removed.inUse.empty()) {
      return removed;
    }
  }
  for (const auto& file : files) {
    try {
      data.Remove(file);
    } catch (const files::FileError& error) {
      removed.failures.push_back(error.what());
    } catch (const FormatError& error) {
      removed.failures.push_back(error.what());
    }
  }
  return removed;
}

void KeepLeftovers(const std::filesystem::path& path, const DestroyJournal& journal) {
  const files::FileDescriptor folder = files::OpenFolder(JournalFolder(path));
  const std::string leftovers = LeftoversName(journal.physical);
  if (::renameat(folder.Get(), path.filename().c_str(), folder.Get(), leftovers.c_str()) != 0) {
    throw files::FileError("Cannot keep " + Quoted(path) + " as " +
                               Quoted(path.parent_path() / leftovers) + ": " + std::strerror(errno),
                           errno);
  }
  files::SyncFolder(folder.Get(), JournalFolder(path));
}

}  // namespace vss6
