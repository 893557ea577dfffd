#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/vss6/CodePage.h"
#include "platform/vss6/DataFolder.h"
#include "platform/vss6/DestroyPlan.h"
#include "platform/vss6/ItemFiles.h"
#include "platform/vss6/NamesFile.h"

namespace vss6 {

// One project or file of a SourceSafe 6 database, as the walk found it.
struct TreeItem {
  std::string spec;      // UTF-8: "$/" for the root, "$/A/b.txt" below it
  std::string name;      // UTF-8
  std::string physical;  // 8 letters, upper case
  bool project = false;
  bool deleted = false;  // the deleted bit of its entry in its project (never for the root)
  std::uint16_t entryFlags = 0;
  std::int64_t size = 0;                   // a file's current content, in bytes
  std::string parent;                      // the physical name of its project (empty for the root)
  std::vector<unsigned char> entryRecord;  // its JP record, as read from its project's entry file
};

// The tree of a SourceSafe 6 database, read from its data folder and never written. Each
// project's children come from its current entry file; names from names.dat in the code page
// given. Every record read is checked; a file that is not as the format says gives a
// FormatError naming it.
class Vss6Tree {
 public:
  // Throws FormatError when `dataFolder` holds no SourceSafe 6 data (version.dat says the
  // version found), std::invalid_argument for an unknown code page.
  explicit Vss6Tree(std::filesystem::path dataFolder, const std::string& codePage = "CP1252");

  TreeItem Root();
  // The children of a project in the order of its entry file; a file has none. A project met
  // again at another place (a loop) is a FormatError.
  std::vector<TreeItem> Children(const TreeItem& project);

  // An entry's name in UTF-8: its long name from names.dat, else its short name.
  std::string NameOf(const NameField& name, bool project) const;
  const std::filesystem::path& DataPath() const noexcept { return data_.Path(); }
  const CodePage& NameCodePage() const noexcept { return codePage_; }

  // What a project's header said when its children were last read, if they were.
  std::optional<ProjectState> SeenState(const std::string& physical) const;
  // After a destroy: the parent's header as the destroy left it, the projects it took gone, and
  // the data folder's contents read again.
  void NoteDestroyed(const std::string& parent, const ProjectState& parentState,
                     const std::vector<std::string>& projectsTaken);

 private:
  DataFolder data_;
  CodePage codePage_;
  NamesFile names_;
  std::unordered_map<std::string, std::string> projectSpecs_;  // by physical name
  std::unordered_map<std::string, ProjectState> seenStates_;   // by physical name
};

}  // namespace vss6
