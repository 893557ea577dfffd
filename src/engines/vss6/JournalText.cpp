#include "engines/vss6/JournalText.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/Layout.h"
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
  return letter.size() == 1 && name.size() >= kPhysicalSize &&
         IsPhysicalName(name.substr(0, kPhysicalSize)) &&
         text::AsciiEqualNoCase(name.substr(0, 1), letter) &&
         AllowedRest(text::AsciiLower(name.substr(kPhysicalSize)), temporary);
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

}  // namespace vss6
