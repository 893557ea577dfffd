#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engines/vss6/CodePage.h"
#include "engines/vss6/DataFolder.h"
#include "engines/vss6/Deletions.h"
#include "engines/vss6/DestroyPlan.h"
#include "engines/vss6/EntryCensus.h"
#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/NamesFile.h"
#include "engines/vss6/Users.h"

namespace vss6 {

// One project or file of a SourceSafe 6 database, as the walk found it. Its path is not kept:
// Vss6Tree::SpecOf builds it from the names of the projects above it, so that a deep tree does
// not keep a long path for each of its items.
struct TreeItem {
  std::string name;      // UTF-8; "$" for the root
  std::string physical;  // 8 letters, upper case
  bool project = false;
  bool deleted = false;  // the deleted bit of its entry in its project (never for the root)
  std::uint16_t entryFlags = 0;
  std::int64_t size = 0;  // a file's current content, in bytes; kUnknownSize when unreadable
  std::string parent;     // the physical name of its project (empty for the root)
  std::vector<unsigned char> entryRecord;  // its JP record, as read from its project's entry file
  // For a deleted entry, the last delete of it that its project's log records; none when the log
  // holds none or cannot be read.
  std::optional<DeletionSeen> deletion;
};

// The size of a file whose content file is missing or cannot be read.
inline constexpr std::int64_t kUnknownSize = -1;

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
  // again below another project (a loop) is a FormatError. A file whose item or content file is
  // missing or damaged is listed all the same, its size unknown.
  std::vector<TreeItem> Children(const TreeItem& project);
  // The item's path: "$/" for the root, "$/A/b.txt" below it; its project must have been listed.
  std::string SpecOf(const TreeItem& item) const;
  // A file's latest content: the whole of its current data file. Throws FormatError when it is
  // missing or damaged.
  std::vector<unsigned char> ContentOf(const TreeItem& file);
  // An item's own files (its item file and data files) and its entry record in its project, named
  // by their places below the database's folder; throws FormatError when one cannot be read.
  std::vector<std::pair<std::string, std::vector<unsigned char>>> OwnFilesOf(const TreeItem& item);
  // The bytes of the files a destroy of the item alone removes: its item file and its data files
  // (.A, .B). Throws files::FileError when one is there but cannot be looked at.
  std::int64_t DiskSizeOf(const TreeItem& item);
  // The path of a listed project by its physical name; empty when no listed project has it.
  std::string ProjectSpec(const std::string& physical) const;
  // The path of the nearest listed project above `item` whose entry is marked deleted; empty
  // when none is.
  std::string DeletedProjectAbove(const TreeItem& item) const;

  // An entry's name in UTF-8: its long name from names.dat, else its short name.
  std::string NameOf(const NameField& name, bool project) const;
  // The session's view of the data folder, which its changes share and keep true.
  DataFolder& Data() noexcept { return data_; }
  const CodePage& NameCodePage() const noexcept { return codePage_; }
  // The users of data/um.dat. Throws FormatError.
  std::vector<User> Users();

  // What a project's header said when its children were last read, if they were.
  std::optional<ProjectState> SeenState(const std::string& physical) const;
  // How many entries name each item: counted from the entry files the listing read, and from the
  // others the first time it is asked for; kept up to date with the destroys noted since. Throws
  // FormatError when an entry file cannot be read.
  const EntryCounts& CountEntries();
  // After a change to a project's entries: its header as the change left it. After a destroy,
  // also the items it took gone.
  void NoteWritten(const std::string& project, const ProjectState& state);
  void NoteDestroyed(const std::string& parent, const ProjectState& parentState,
                     const std::vector<std::string>& projectsTaken,
                     const std::vector<std::string>& itemsTaken);

 private:
  // The last delete of each deleted entry of a project, from its item file's log.
  std::unordered_map<std::string, DeletionSeen> DeletionsIn(
      const std::filesystem::path& projectFile, const std::vector<ProjectEntry>& entries);

  struct Project {
    std::string parent;  // physical name
    std::string name;    // UTF-8
    bool deleted = false;
  };

  DataFolder data_;
  CodePage codePage_;
  NamesFile names_;
  std::unordered_map<std::string, Project> projects_;         // by physical name
  std::unordered_map<std::string, ProjectState> seenStates_;  // by physical name
  EntryTally entryCounts_;
};

}  // namespace vss6
