#include "platform/vss6/Vss6Tree.h"

#include <system_error>

#include "platform/vss6/ItemFiles.h"

namespace vss6 {
namespace {

constexpr const char* kRootPhysical = "AAAAAAAA";
// The item file's magic, its type and version, and the DH record: all the walk reads of it.
constexpr std::size_t kHeaderBytes = 0x34 + 8 + 356;

}  // namespace

Vss6Tree::Vss6Tree(std::filesystem::path dataFolder, const std::string& codePage)
    : data_(std::move(dataFolder)), codePage_(codePage) {
  const std::filesystem::path version = data_.Path() / "version.dat";
  const std::vector<unsigned char> bytes = DataFolder::Read(version, 16);
  if (bytes.size() != 2 || bytes[0] != 6 || bytes[1] != 0) {
    const int found = bytes.size() >= 2 ? bytes[0] | (bytes[1] << 8) : -1;
    throw VersionError("'" + version.string() + "' says format version " +
                       (found < 0 ? std::string("(none)") : std::to_string(found)) +
                       "; this program reads SourceSafe format 6");
  }
  if (const std::filesystem::path names = data_.Find("names.dat"); !names.empty()) {
    names_ = NamesFile(DataFolder::ReadWhole(names), names.string());
  }
}

std::string Vss6Tree::NameOf(const NameField& name, bool project) const {
  std::string bytes = name.shortName;
  if (name.namesOffset != 0) {
    if (auto longName = names_.Name(name.namesOffset, project ? kProjectLongName : kFileLongName)) {
      bytes = std::move(*longName);
    }
  }
  return codePage_.ToUtf8(bytes);
}

TreeItem Vss6Tree::Root() {
  const std::filesystem::path path = data_.ItemPath(kRootPhysical);
  const ItemHeader header = ReadItemHeader(DataFolder::Read(path, kHeaderBytes - 1), path.string());
  if (header.type != kProjectType) {
    throw FormatError("'" + path.string() + "', the root project's file, is not a project");
  }
  TreeItem root;
  root.spec = "$/";
  root.name = "$";
  root.physical = kRootPhysical;
  root.project = true;
  projectSpecs_[root.physical] = root.spec;
  return root;
}

std::vector<TreeItem> Vss6Tree::Children(const TreeItem& project) {
  if (!project.project) {
    return {};
  }
  const std::filesystem::path itemPath = data_.ItemPath(project.physical);
  const ItemHeader header =
      ReadItemHeader(DataFolder::Read(itemPath, kHeaderBytes - 1), itemPath.string());
  if (header.type != kProjectType) {
    throw FormatError("'" + itemPath.string() + "' is listed as a project but is a file's");
  }
  const std::filesystem::path entryPath = data_.ItemPath(project.physical, header.dataExtension);
  const std::vector<unsigned char> entryBytes = DataFolder::ReadWhole(entryPath);
  seenStates_[project.physical] = {header.logEntries, header.endOfFile};
  std::vector<TreeItem> children;
  for (const ProjectEntry& entry : ReadEntryFile(entryBytes, entryPath.string())) {
    TreeItem child;
    child.parent = project.physical;
    child.entryRecord.assign(entryBytes.begin() + static_cast<std::ptrdiff_t>(entry.recordOffset),
                             entryBytes.begin() + static_cast<std::ptrdiff_t>(entry.recordEnd));
    child.project = entry.type == kProjectType;
    child.name = NameOf(entry.name, child.project);
    child.spec = project.spec + (project.spec.back() == '/' ? "" : "/") + child.name;
    child.physical = entry.physical;
    child.deleted = entry.Deleted();
    child.entryFlags = entry.flags;
    if (child.project) {
      const auto [known, added] = projectSpecs_.emplace(child.physical, child.spec);
      if (!added && known->second != child.spec) {
        throw FormatError("The project " + child.physical + " is both '" + known->second +
                          "' and '" + child.spec + "': the tree runs round a loop or is damaged");
      }
    } else {
      const std::filesystem::path filePath = data_.ItemPath(child.physical);
      const ItemHeader file =
          ReadItemHeader(DataFolder::Read(filePath, kHeaderBytes - 1), filePath.string());
      std::error_code error;
      const auto size =
          std::filesystem::file_size(data_.ItemPath(child.physical, file.dataExtension), error);
      child.size = error ? 0 : static_cast<std::int64_t>(size);
    }
    children.push_back(std::move(child));
  }
  return children;
}

std::optional<ProjectState> Vss6Tree::SeenState(const std::string& physical) const {
  const auto found = seenStates_.find(physical);
  return found == seenStates_.end() ? std::nullopt : std::optional(found->second);
}

void Vss6Tree::NoteDestroyed(const std::string& parent, const ProjectState& parentState,
                             const std::vector<std::string>& projectsTaken) {
  if (const auto found = seenStates_.find(parent); found != seenStates_.end()) {
    found->second = parentState;
  }
  for (const std::string& project : projectsTaken) {
    seenStates_.erase(project);
    projectSpecs_.erase(project);
  }
  data_.Forget();
}

}  // namespace vss6
