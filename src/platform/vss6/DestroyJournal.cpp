#include "platform/vss6/DestroyJournal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <sstream>

#include "platform/files/SafeFiles.h"
#include "platform/text/AsciiCase.h"
#include "platform/vss6/DataFolder.h"
#include "platform/vss6/FileLocks.h"
#include "platform/vss6/ItemFiles.h"
#include "platform/vss6/LogActions.h"

namespace vss6 {
namespace {

constexpr std::string_view kFirstLine = "Scourwell destroy journal 1";
constexpr std::size_t kMaxJournalBytes = 1u << 20;

template <class Number>
bool ParseNumber(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

std::filesystem::path Clean(const std::filesystem::path& path) {
  std::filesystem::path clean = path.lexically_normal();
  return clean.has_filename() ? clean : clean.parent_path();
}

// A file a journal may name: "<data>/<letter>/<physical>" with ".a", ".b" or ".new" after it.
bool InLetterFolder(const std::filesystem::path& file, const std::filesystem::path& data) {
  if (Clean(file.parent_path().parent_path()) != Clean(data)) {
    return false;
  }
  const std::string letter = file.parent_path().filename().string();
  const std::string name = file.filename().string();
  if (letter.size() != 1 || name.size() < 8 || !IsPhysicalName(name.substr(0, 8)) ||
      text::AsciiLower(name.substr(0, 1)) != text::AsciiLower(letter)) {
    return false;
  }
  const std::string rest = text::AsciiLower(name.substr(8));
  return rest.empty() || rest == ".a" || rest == ".b" || rest == ".new" || rest == ".a.new" ||
         rest == ".b.new";
}

// Whether the parent's log holds the destroy's record: then the destroy took effect.
bool Committed(const DestroyJournal& journal) {
  DataFolder data(journal.data);
  const std::filesystem::path itemPath = data.FindItemFile(journal.parent);
  if (itemPath.empty()) {
    return false;
  }
  const std::vector<unsigned char> bytes = DataFolder::ReadWhole(itemPath);
  const std::string file = itemPath.string();
  if (journal.record >= bytes.size()) {
    return false;
  }
  try {
    const Record record = ReadRecord(bytes, journal.record, "EL", file);
    const std::uint16_t action = ReadU16(record.body, 4, file);
    const std::string physical =
        text::AsciiUpper(std::string(FieldText(record.body, kDestroyPhysical, 8, file)));
    return (action == kDestroyFile || action == kDestroyProject) &&
           ReadU16(record.body, 6, file) == journal.revision && physical == journal.physical;
  } catch (const FormatError&) {
    return false;
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
  if (!journal.data.is_absolute() || !IsPhysicalName(journal.parent) ||
      !IsPhysicalName(journal.physical) || journal.record == 0 ||
      std::any_of(journal.temporaries.begin(), journal.temporaries.end(), outside) ||
      std::any_of(journal.remove.begin(), journal.remove.end(), outside)) {
    return std::nullopt;
  }
  return journal;
}

std::filesystem::path JournalPath(const std::filesystem::path& iniFolder) {
  return iniFolder / "scourwell-destroy.journal";
}

files::FileDescriptor WriteJournal(const std::filesystem::path& path,
                                   const DestroyJournal& journal) {
  const std::string text = FormatJournal(journal);
  const std::filesystem::path folderPath = path.parent_path();
  const files::FileDescriptor folder = files::OpenFolder(folderPath);
  const std::string name = path.filename().string();
  const std::string temporary = name + "." + std::to_string(::getpid());
  ::unlinkat(folder.Get(), temporary.c_str(), 0);  // left by a process of ours that died
  files::FileDescriptor fd = files::CreateNewFile(folder, folderPath, temporary, 0644);
  const auto fail = [&](const std::string& what, int error) {
    ::unlinkat(folder.Get(), temporary.c_str(), 0);
    throw files::FileError("Cannot " + what + " '" + path.string() + "': " + std::strerror(error),
                           error);
  };
  if (!LockOpenFile(fd.Get())) {
    fail("lock", errno);
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
      throw LockedError("Another destroy is under way in this database ('" + path.string() +
                        "' is there); nothing was changed. Try again when it is done");
    }
    fail("make", error);
  }
  ::unlinkat(folder.Get(), temporary.c_str(), 0);
  ::fsync(folder.Get());
  return fd;
}

void RemoveFile(const std::filesystem::path& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
    const int error = errno;
    throw files::FileError("Cannot remove '" + path.string() + "': " + std::strerror(error), error);
  }
}

// Journals being written when their program died ("<journal>.<process id>"): never linked into
// place, so nothing was done under them.
static void RemoveUnfinishedJournals(const std::filesystem::path& path) {
  const std::string prefix = path.filename().string() + ".";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(path.parent_path(), error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        !std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                     text::IsAsciiDigit)) {
      continue;
    }
    try {
      const files::FileDescriptor fd = files::OpenPlainFile(entry.path(), O_RDWR);
      if (LockOpenFile(fd.Get())) {
        RemoveFile(entry.path());
      }
    } catch (const files::FileError&) {
      // Not a plain file of ours: left alone.
    }
  }
}

std::optional<std::string> FinishInterruptedDestroy(const std::filesystem::path& path,
                                                    const std::filesystem::path& data) {
  RemoveUnfinishedJournals(path);
  std::string text;
  try {
    files::RequirePlainFileOrNothing(path);
    std::error_code missing;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, missing))) {
      return std::nullopt;
    }
    text = files::ReadPlainFile(path, kMaxJournalBytes);
  } catch (const files::FileError& error) {
    throw FormatError(error.what());
  }
  // A journal whose lock is held belongs to a destroy still running in another program.
  const files::FileDescriptor held = [&] {
    try {
      return files::OpenPlainFile(path, O_RDWR);
    } catch (const files::FileError& error) {
      throw FormatError(error.what());
    }
  }();
  if (!LockOpenFile(held.Get()) && (errno == EAGAIN || errno == EACCES)) {
    return std::nullopt;
  }
  const std::optional<DestroyJournal> journal = ParseJournal(text);
  if (!journal) {
    throw FormatError("'" + path.string() +
                      "' is not a journal this program wrote, or names files outside its data "
                      "folder; it was left alone. Remove it if no destroy was under way");
  }
  std::error_code error;
  if (!std::filesystem::equivalent(journal->data, data, error)) {
    throw FormatError("'" + path.string() + "' is the journal of a destroy in '" +
                      journal->data.string() + "', not in '" + data.string() +
                      "'; it was left alone");
  }
  for (const auto& file : journal->temporaries) {
    files::RequirePlainFileOrNothing(file);
    RemoveFile(file);
  }
  const bool committed = Committed(*journal);
  if (committed) {
    for (const auto& file : journal->remove) {
      files::RequirePlainFileOrNothing(file);
      RemoveFile(file);
    }
  }
  RemoveFile(path);
  return committed ? "A destroy of " + journal->physical +
                         " that was cut off has been finished: its files were removed"
                   : "A destroy of " + journal->physical +
                         " that was cut off before it took effect has been undone";
}

}  // namespace vss6
