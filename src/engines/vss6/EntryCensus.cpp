#include "engines/vss6/EntryCensus.h"

#include <unordered_set>
#include <vector>

#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/Records.h"
#include "platform/text/AsciiCase.h"

namespace vss6 {
namespace {

constexpr const char* kRootPhysical = "AAAAAAAA";
// The item file's magic, its type and version, and the DH record.
constexpr std::size_t kHeaderBytes = kHeaderRecordOffset + 8 + 356;

ItemHeader HeaderOf(DataFolder& data, const std::filesystem::path& itemPath) {
  return ReadItemHeader(data.Read(itemPath, kHeaderBytes - 1), itemPath.string());
}

}  // namespace

EntryCounts CountEntries(DataFolder& data) {
  EntryCounts counts;
  std::vector<std::string> pending{kRootPhysical};
  std::unordered_set<std::string> visited{kRootPhysical};
  while (!pending.empty()) {
    const std::string project = std::move(pending.back());
    pending.pop_back();
    const std::filesystem::path itemPath = data.ItemPath(project);
    const std::filesystem::path entryPath =
        data.ItemPath(project, HeaderOf(data, itemPath).dataExtension);
    for (const ProjectEntry& entry : ReadEntryFile(data.ReadWhole(entryPath), entryPath.string())) {
      ++counts[entry.physical];
      if (entry.type == kProjectType && visited.insert(entry.physical).second) {
        pending.push_back(entry.physical);
      }
    }
  }
  return counts;
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
