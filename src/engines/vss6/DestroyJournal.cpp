#include "engines/vss6/DestroyJournal.h"
#include "engines/vss6/Layout.h"

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
#include "platform/files/PlaceFile.h"
#include "platform/text/AsciiCase.h"

namespace vss6 {
namespace {

constexpr std::string_view kFirstLine = "Scourwell destroy journal 2";
// Written by earlier versions: no inode of the data folder.
constexpr std::string_view kFirstLineVersion1 = "Scourwell destroy journal 1";
constexpr std::string_view kLeftoversPrefix = "scourwell-destroy.";
constexpr std::string_view kLeftoversSuffix = ".leftovers";
// The item file's magic, its type and version, and the DH record.

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

// What may follow the physical name in a file a journal names: nothing (the item file), the data
// file's extension, and with `temporary` the ".new" of a file written beside one of those.
bool AllowedRest(const std::string& rest, bool temporary) {
  if (temporary) {
    return rest == ".new" || rest == ".a.new" || rest == ".b.new";
  }
  return rest.empty() || rest == ".a" || rest == ".b";
}

// A file a journal may name: "<data>/<letter>/<physical>" with what AllowedRest lets follow.
bool InLetterFolder(const std::filesystem::path& file, const std::filesystem::path& data,
                    bool temporary) {
  if (Clean(file.parent_path().parent_path()) != Clean(data)) {
    return false;
  }
  const std::string letter = file.parent_path().filename().string();
  const std::string name = file.filename().string();
  return letter.size() == 1 && name.size() >= 8 && IsPhysicalName(name.substr(0, 8)) &&
         text::AsciiEqualNoCase(name.substr(0, 1), letter) &&
         AllowedRest(text::AsciiLower(name.substr(8)), temporary);
}

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

std::string FormatJournal(const DestroyJournal& journal) {
  std::ostringstream text;
  // Without the folder's inode, as an older version wrote it.
  text << (journal.dataInode == 0 ? kFirstLineVersion1 : kFirstLine) << '\n'
       << "data=" << journal.data.string() << '\n';
  if (journal.dataInode != 0) {
    text << "data-inode=" << journal.dataInode << '\n';
  }
  text << "parent=" << journal.parent << '\n'
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
  if (!std::getline(lines, line) || (line != kFirstLine && line != kFirstLineVersion1)) {
    return std::nullopt;
  }
  const bool version1 = line == kFirstLineVersion1;
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
    } else if (key == "data-inode" && !version1) {
      good = ParseNumber(value, journal.dataInode) && journal.dataInode != 0;
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
  const auto outside = [&](bool temporary) {
    return [&, temporary](const std::filesystem::path& file) {
      return !InLetterFolder(file, journal.data, temporary);
    };
  };
  if (journal.data.empty() || !IsPhysicalName(journal.parent) ||
      !IsPhysicalName(journal.physical) || journal.record == 0 ||
      (!version1 && journal.dataInode == 0) ||
      std::any_of(journal.temporaries.begin(), journal.temporaries.end(), outside(true)) ||
      std::any_of(journal.remove.begin(), journal.remove.end(), outside(false))) {
    return std::nullopt;
  }
  return journal;
}

std::filesystem::path JournalPath(const std::filesystem::path& folder) {
  return folder / "scourwell-destroy.journal";
}

std::filesystem::path JournalFolder(const std::filesystem::path& path) {
  return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

std::string LeftoversName(const std::string& physical) {
  return std::string(kLeftoversPrefix) + physical + std::string(kLeftoversSuffix);
}

bool IsLeftoversName(const std::string& name) {
  return name.size() > kLeftoversPrefix.size() + kLeftoversSuffix.size() &&
         name.compare(0, kLeftoversPrefix.size(), kLeftoversPrefix) == 0 &&
         name.compare(name.size() - kLeftoversSuffix.size(), kLeftoversSuffix.size(),
                      kLeftoversSuffix) == 0;
}

DestroyJournal JournalFor(const DataFolder& data) {
  DestroyJournal journal;
  journal.data = std::filesystem::absolute(data.Path()).lexically_normal();
  journal.dataInode = static_cast<std::uint64_t>(data.Status().st_ino);
  return journal;
}

bool IsUnfinishedJournal(const std::string& name, const std::filesystem::path& path) {
  const std::string prefix = path.filename().string() + ".";
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
    return false;
  }
  // "<host>.<process id>", or an older version's "<process id>".
  const std::string rest = name.substr(prefix.size());
  const std::size_t dot = rest.rfind('.');
  const std::string host = dot == std::string::npos ? std::string() : rest.substr(0, dot);
  const std::string pid = dot == std::string::npos ? rest : rest.substr(dot + 1);
  const auto hostCharacter = [](char c) {
    return text::IsAsciiLetter(c) || text::IsAsciiDigit(c) || c == '-';
  };
  return !pid.empty() && std::all_of(pid.begin(), pid.end(), text::IsAsciiDigit) &&
         (dot == std::string::npos ||
          (!host.empty() && std::all_of(host.begin(), host.end(), hostCharacter)));
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
