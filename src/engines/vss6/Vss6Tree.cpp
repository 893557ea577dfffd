#include "engines/vss6/Vss6Tree.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engines/vss6/EntryCensus.h"
#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/Layout.h"

namespace vss6 {
namespace {

constexpr const char* kRootPhysical = "AAAAAAAA";
// The item file's magic, its type and version, and the DH record: all the walk reads of it.

}  // namespace

Vss6Tree::Vss6Tree(std::filesystem::path dataFolder, const std::string& codePage)
    : data_(std::move(dataFolder)), codePage_(codePage) {
  const std::filesystem::path version = data_.Find("version.dat");
  if (version.empty()) {
    throw FormatError("'" + (data_.Path() / "version.dat").string() +
                      "' is missing: the folder holds no SourceSafe data");
  }
  const std::vector<unsigned char> bytes = data_.Read(version, 16);
  if (bytes.size() != 2 || bytes[0] != 6 || bytes[1] != 0) {
    const int found = bytes.size() >= 2 ? bytes[0] | (bytes[1] << 8) : -1;
    throw VersionError("'" + version.string() + "' says format version " +
                       (found < 0 ? std::string("(none)") : std::to_string(found)) +
                       "; this program reads SourceSafe format 6");
  }
  if (const std::filesystem::path names = data_.Find("names.dat"); !names.empty()) {
    names_ = NamesFile(data_.ReadWhole(names), names.string());
  }
}

std::string Vss6Tree::NameOf(const NameField& name, bool project) const {
  return EntryName(name, project, names_, codePage_);
}

TreeItem Vss6Tree::Root() {
  const std::filesystem::path path = data_.ItemPath(kRootPhysical);
  const ItemHeader header = ReadItemHeader(data_.Read(path, kItemHeaderBytes - 1), path.string());
  if (header.type != kProjectType) {
    throw FormatError("'" + path.string() + "', the root project's file, is not a project");
  }
  TreeItem root;
  root.name = "$";
  root.physical = kRootPhysical;
  root.project = true;
  projects_[root.physical] = {};
  return root;
}

std::vector<unsigned char> Vss6Tree::ContentOf(const TreeItem& file) {
  const std::filesystem::path itemPath = data_.FindItemFile(file.physical);
  if (itemPath.empty()) {
    throw FormatError("The item file of " + file.physical + " is missing");
  }
  const ItemHeader header =
      ReadItemHeader(data_.Read(itemPath, kItemHeaderBytes - 1), itemPath.string());
  const std::filesystem::path content = data_.FindItemFile(file.physical, header.dataExtension);
  if (content.empty()) {
    throw FormatError("The content file of " + file.physical + " is missing");
  }
  return data_.ReadWhole(content);
}

std::vector<std::pair<std::string, std::vector<unsigned char>>> Vss6Tree::OwnFilesOf(
    const TreeItem& item) {
  std::vector<std::pair<std::string, std::vector<unsigned char>>> files;
  for (const char* extension : {"", ".A", ".B"}) {
    const std::filesystem::path file = data_.FindItemFile(item.physical, extension);
    if (!file.empty()) {
      files.emplace_back("data" / file.lexically_relative(data_.Path()), data_.ReadWhole(file));
    }
  }
  if (!item.parent.empty()) {
    files.emplace_back("entries/" + item.parent + "/" + item.physical + ".jp", item.entryRecord);
  }
  return files;
}

std::int64_t Vss6Tree::DiskSizeOf(const TreeItem& item) {
  std::int64_t bytes = 0;
  for (const char* extension : {"", ".A", ".B"}) {
    const std::filesystem::path file = data_.FindItemFile(item.physical, extension);
    if (file.empty()) {
      continue;
    }
    const files::FileDescriptor fd = data_.Open(file, O_RDONLY);
    struct stat status {};
    if (::fstat(fd.Get(), &status) != 0) {
      const int error = errno;
      throw files::FileError("Cannot look at '" + file.string() + "': " + std::strerror(error),
                             error);
    }
    bytes += status.st_size;
  }
  return bytes;
}

std::string Vss6Tree::ProjectSpec(const std::string& physical) const {
  if (physical == kRootPhysical) {
    return "$/";
  }
  const auto found = projects_.find(physical);
  if (found == projects_.end()) {
    return {};
  }
  TreeItem project;
  project.name = found->second.name;
  project.parent = found->second.parent;
  try {
    return SpecOf(project);
  } catch (const FormatError&) {
    return {};
  }
}

std::string Vss6Tree::DeletedProjectAbove(const TreeItem& item) const {
  std::size_t steps = 0;
  for (std::string at = item.parent; at != kRootPhysical && steps++ <= projects_.size();) {
    const auto found = projects_.find(at);
    if (found == projects_.end()) {
      return {};
    }
    if (found->second.deleted) {
      return ProjectSpec(at);
    }
    at = found->second.parent;
  }
  return {};
}

std::string Vss6Tree::SpecOf(const TreeItem& item) const {
  if (item.parent.empty()) {
    return "$/";
  }
  // The names from the item up to the root, then put together from the root down.
  std::vector<const std::string*> names{&item.name};
  std::size_t length = item.name.size() + 2;
  for (std::string at = item.parent; at != kRootPhysical;) {
    const auto found = projects_.find(at);
    if (found == projects_.end() || names.size() > projects_.size()) {
      throw FormatError("The path of '" + item.name + "' cannot be made: the project " + at +
                        " above it was not listed");
    }
    names.push_back(&found->second.name);
    length += found->second.name.size() + 1;
    at = found->second.parent;
  }
  std::string spec;
  spec.reserve(length);
  spec = "$";
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    spec += "/";
    spec += **name;
  }
  return spec;
}

std::unordered_map<std::string, DeletionSeen> Vss6Tree::DeletionsIn(
    const std::filesystem::path& projectFile, const std::vector<ProjectEntry>& entries) {
  // Only a project with a deleted entry has its whole log read: the others need none of it.
  const bool anyDeleted = std::any_of(entries.begin(), entries.end(),
                                      [](const ProjectEntry& entry) { return entry.Deleted(); });
  if (!anyDeleted) {
    return {};
  }
  const std::string file = projectFile.string();
  try {
    const std::vector<unsigned char> bytes = data_.ReadWhole(projectFile);
    return LastDeletions(ReadItemRecords(bytes, file), file, codePage_);
  } catch (const FormatError&) {
    return {};  // the check names what is wrong; the listing goes on without the times
  } catch (const files::FileError&) {
    return {};
  }
}

std::vector<TreeItem> Vss6Tree::Children(const TreeItem& project) {
  if (!project.project) {
    return {};
  }
  const std::filesystem::path itemPath = data_.ItemPath(project.physical);
  const ItemHeader header =
      ReadItemHeader(data_.Read(itemPath, kItemHeaderBytes - 1), itemPath.string());
  if (header.type != kProjectType) {
    throw FormatError("'" + itemPath.string() + "' is listed as a project but is a file's");
  }
  const std::filesystem::path entryPath = data_.ItemPath(project.physical, header.dataExtension);
  const std::vector<unsigned char> entryBytes = data_.ReadWhole(entryPath);
  const std::vector<ProjectEntry> entries = ReadEntryFile(entryBytes, entryPath.string());
  // Every child project first, so that a loop is found before anything of it is given out.
  for (const ProjectEntry& entry : entries) {
    if (entry.type != kProjectType) {
      continue;
    }
    const auto known = projects_.find(entry.physical);
    if (entry.physical == kRootPhysical ||
        (known != projects_.end() && known->second.parent != project.physical)) {
      throw FormatError("The project " + entry.physical + " is listed in " + project.physical +
                        " and elsewhere too: the tree runs round a loop or is damaged");
    }
  }
  seenStates_[project.physical] = {header.logEntries, header.endOfFile};
  entryCounts_.Count(project.physical, entries);  // the first time it is read
  const std::unordered_map<std::string, DeletionSeen> deletions = DeletionsIn(itemPath, entries);
  std::vector<TreeItem> children;
  children.reserve(entries.size());
  for (const ProjectEntry& entry : entries) {
    TreeItem child;
    child.parent = project.physical;
    child.entryRecord.assign(entryBytes.begin() + static_cast<std::ptrdiff_t>(entry.recordOffset),
                             entryBytes.begin() + static_cast<std::ptrdiff_t>(entry.recordEnd));
    child.project = entry.type == kProjectType;
    child.name = NameOf(entry.name, child.project);
    child.physical = entry.physical;
    child.deleted = entry.Deleted();
    child.entryFlags = entry.flags;
    if (const auto seen = deletions.find(child.physical);
        child.deleted && seen != deletions.end()) {
      child.deletion = seen->second;
    }
    if (child.project) {
      projects_[child.physical] = {project.physical, child.name, child.deleted};
    } else {
      // The size of its current content; a file whose files are missing or damaged is still
      // listed, its size unknown (the check names what is wrong).
      child.size = kUnknownSize;
      try {
        if (const std::filesystem::path filePath = data_.FindItemFile(child.physical);
            !filePath.empty()) {
          const ItemHeader file =
              ReadItemHeader(data_.Read(filePath, kItemHeaderBytes - 1), filePath.string());
          if (const std::filesystem::path content =
                  data_.FindItemFile(child.physical, file.dataExtension);
              !content.empty()) {
            const files::FileDescriptor fd = data_.Open(content, O_RDONLY);
            struct stat status {};
            if (::fstat(fd.Get(), &status) == 0) {
              child.size = status.st_size;
            }
          }
        }
      } catch (const FormatError&) {
      } catch (const files::FileError&) {
      }
    }
    children.push_back(std::move(child));
  }
  return children;
}

std::vector<User> Vss6Tree::Users() {
  const std::filesystem::path users = data_.Find("um.dat");
  if (users.empty()) {
    throw FormatError("'" + (data_.Path() / "um.dat").string() + "' is missing: nobody can log in");
  }
  return ReadUsers(data_.ReadWhole(users), users.string());
}

std::optional<ProjectState> Vss6Tree::SeenState(const std::string& physical) const {
  const auto found = seenStates_.find(physical);
  return found == seenStates_.end() ? std::nullopt : std::optional(found->second);
}

const EntryCounts& Vss6Tree::CountEntries() { return entryCounts_.Complete(data_); }

void Vss6Tree::NoteWritten(const std::string& project, const ProjectState& state) {
  if (const auto found = seenStates_.find(project); found != seenStates_.end()) {
    found->second = state;
  }
}

void Vss6Tree::NoteDestroyed(const std::string& parent, const ProjectState& parentState,
                             const std::vector<std::string>& projectsTaken,
                             const std::vector<std::string>& itemsTaken) {
  NoteWritten(parent, parentState);
  for (const std::string& project : projectsTaken) {
    seenStates_.erase(project);  // its name stays known, for the paths of items listed below it
  }
  entryCounts_.Taken(itemsTaken);
}

}  // namespace vss6
