#include "engines/vss6/EntryCensus.h"

#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/Layout.h"
#include "engines/vss6/Records.h"
#include "platform/text/AsciiCase.h"

namespace vss6 {
namespace {

constexpr const char* kRootPhysical = "AAAAAAAA";
// The item file's magic, its type and version, and the DH record.

ItemHeader HeaderOf(DataFolder& data, const std::filesystem::path& itemPath) {
  return ReadItemHeader(data.Read(itemPath, kItemHeaderBytes - 1), itemPath.string());
}

}  // namespace

void EntryTally::Count(const std::string& project, const std::vector<ProjectEntry>& entries) {
  if (!counted_.insert(project).second) {
    return;
  }
  for (const ProjectEntry& entry : entries) {
    ++counts_[entry.physical];
    if (entry.type == kProjectType && counted_.count(entry.physical) == 0) {
      uncounted_.push_back(entry.physical);
    }
  }
}

const EntryCounts& EntryTally::Complete(DataFolder& data) {
  if (complete_) {
    return counts_;
  }
  if (counted_.count(kRootPhysical) == 0) {
    uncounted_.push_back(kRootPhysical);
  }
  while (!uncounted_.empty()) {
    const std::string project = std::move(uncounted_.back());
    uncounted_.pop_back();
    if (counted_.count(project) != 0) {
      continue;
    }
    const std::filesystem::path itemPath = data.ItemPath(project);
    const std::filesystem::path entryPath =
        data.ItemPath(project, HeaderOf(data, itemPath).dataExtension);
    Count(project, ReadEntryFile(data.ReadWhole(entryPath), entryPath.string()));
  }
  complete_ = true;
  return counts_;
}

void EntryTally::Taken(const std::vector<std::string>& items) {
  for (const std::string& item : items) {
    if (const auto found = counts_.find(item); found != counts_.end() && --found->second <= 0) {
      counts_.erase(found);
    }
  }
}

EntryCounts CountEntries(DataFolder& data) {
  EntryTally tally;
  return tally.Complete(data);
}

UsedFiles::UsedFiles(DataFolder& data) : data_(data), counts_(CountEntries(data)) {
  ++counts_[kRootPhysical];
}

bool UsedFiles::Uses(const std::filesystem::path& file) {
  const std::string name = file.filename().string();
  if (name.size() < 8 || !IsPhysicalName(name.substr(0, 8))) {
    return false;
  }
  const std::string physical = text::AsciiUpper(name.substr(0, 8));
  if (counts_.count(physical) == 0) {
    return false;
  }
  const std::string rest = text::AsciiLower(name.substr(8));
  if (rest.empty()) {
    return true;  // the item file itself
  }
  if (rest != ".a" && rest != ".b") {
    return false;  // not a file of the format (a temporary written beside one)
  }
  try {
    const std::filesystem::path itemPath = data_.FindItemFile(physical);
    return itemPath.empty() ||
           text::AsciiEqualNoCase(HeaderOf(data_, itemPath).dataExtension, rest);
  } catch (const FormatError&) {
    return true;  // which data file is current cannot be told: both are kept
  }
}

}  // namespace vss6
