#include "engines/vss6/DestroyPlan.h"

#include <set>

#include "engines/vss6/Layout.h"
#include "engines/vss6/LogActions.h"
#include "platform/text/AsciiCase.h"

namespace vss6 {
namespace {

// A file's header flags that stand in the way: locked, shared, checked out.
// Deeper trees than this are not walked (a damaged database could nest without end).
constexpr int kMaxDepth = 256;

// The actions a log may hold for the item to be destroyed: those seen in the histories of items
// destroyed by SourceSafe itself, and the everyday ones. Labels, branches, pins, moves and
// archives are not among them.
bool KnownInHistory(std::uint16_t action, bool project) {
  if (project) {
    switch (action) {
      case kCreateProject:
      case kAddProject:
      case kAddFile:
      case kDestroyProject:
      case kDestroyFile:
      case kDeleteProject:
      case kDeleteFile:
      case kRecoverProject:
      case kRecoverFile:
      case kRenameProject:
      case kRenameFile:
        return true;
      default:
        return false;
    }
  }
  return action == kCreateFile || action == kEditFile;
}

class Planner {
 public:
  Planner(DataFolder& data, FileLocks& locks, const EntryCounts& counts, const EntryNamer& nameOf,
          const ProjectNamer& projectOf, std::string top)
      : data_(data),
        locks_(locks),
        counts_(counts),
        nameOf_(nameOf),
        projectOf_(projectOf),
        top_(std::move(top)) {}

  void Visit(const std::string& parent, const ProjectEntry& entry, const std::string& spec,
             int depth) {
    if (depth > kMaxDepth) {
      throw FormatError("'" + spec + "' lies more than " + std::to_string(kMaxDepth) +
                        " levels deep; the tree is damaged");
    }
    if (!seen_.insert(entry.physical).second) {
      throw FormatError("The item " + entry.physical + " is met twice below '" + spec +
                        "': the tree runs round a loop or is damaged");
    }
    const bool project = entry.type == kProjectType;
    if (entry.pinnedVersion != 0) {
      Refuse(spec, "pinned items", "pinned to version " + std::to_string(entry.pinnedVersion));
    }
    const std::filesystem::path itemPath = data_.ItemPath(entry.physical);
    const std::string file = itemPath.string();
    locks_.Lock(data_, itemPath);
    const std::vector<unsigned char> bytes = data_.ReadWhole(itemPath);
    const ItemHeader header = ReadItemHeader(bytes, file);
    if (header.type != entry.type) {
      throw FormatError("'" + file + "' is " + (project ? "a file's" : "a project's") +
                        " item file, but its entry names a " + (project ? "project" : "file"));
    }
    // The projects that hold it besides this one, by their parent records.
    std::vector<std::string> others;
    int parentRecords = 0;
    for (const Record& record : ReadItemRecords(bytes, file)) {
      if (record.signature == "BF") {
        Refuse(spec, "branched items", "branched");
      } else if (record.signature == "PF") {
        const std::string holder = text::AsciiUpper(
            std::string(FieldText(record.body, kPfProjectAt, kPhysicalSize, file)));
        if (holder != parent) {
          others.push_back(holder);
        }
        ++parentRecords;
      } else if (record.signature == "EL") {
        const std::uint16_t action = ReadU16(record.body, kLogActionAt, file);
        if (!KnownInHistory(action, project)) {
          Refuse(spec, "items with labels, branches, pins, moves or archives in their history",
                 "labelled, branched, pinned, moved or archived (history action " +
                     std::to_string(action) + ")");
        }
      }
    }
    const bool shared = (entry.flags & kSharedFlag) != 0 || !others.empty() ||
                        (!project && ((header.fileFlags & kFileShared) != 0 ||
                                      header.projectReferences != 1 || parentRecords != 1));
    if (shared) {
      Refuse(spec, "shared items", "shared with " + Holders(others));
    }
    // Its files go only when no other entry of the database still names them.
    const auto named = counts_.find(entry.physical);
    if (named == counts_.end()) {
      throw DestroyRefused(DestroyRefused::Kind::kChanged,
                           "'" + spec +
                               "' was added since the database was listed; nothing was "
                               "done. List it again");
    }
    if (named->second > 1) {
      Refuse(spec, "items that other entries name too",
             "named by " + std::to_string(named->second - 1) +
                 " other entries of the database (item " + entry.physical +
                 "; the database is damaged: run vssdb check)");
    }
    if (project) {
      if (text::AsciiUpper(header.parentProject) != parent) {
        throw FormatError("'" + file + "' names " + header.parentProject +
                          " as its parent project, but it is listed in " + parent);
      }
      const std::filesystem::path entryPath = data_.ItemPath(entry.physical, header.dataExtension);
      for (const ProjectEntry& child :
           ReadEntryFile(data_.ReadWhole(entryPath), entryPath.string())) {
        Visit(entry.physical, child, spec + "/" + nameOf_(child.name, child.type == kProjectType),
              depth + 1);
      }
      plan_.projects.push_back({entry.physical, {header.logEntries, header.endOfFile}});
    } else {
      if ((header.fileFlags & kFileCheckedOut) != 0) {
        Refuse(spec, "checked-out files", "checked out");
      }
      if ((header.fileFlags & kFileLocked) != 0) {
        Refuse(spec, "files marked locked",
               "marked locked (bit 0x01 of its header, whose use is not known)");
      }
      if (header.branches != 0 || !header.branchSource.empty()) {
        Refuse(spec, "branched items", "branched");
      }
    }
    for (const char* extension : {".A", ".B"}) {
      if (std::filesystem::path data = data_.FindItemFile(entry.physical, extension);
          !data.empty()) {
        plan_.files.push_back(std::move(data));
      }
    }
    plan_.files.push_back(itemPath);
    plan_.items.push_back(entry.physical);
  }

  DestroyPlan Take() { return std::move(plan_); }

 private:
  // Refuses the destroy: `spec` is one of `kinds` ("shared items"), being `state` ("shared with
  // '$/b'"). The destroy of such items is not known from real databases, so it is not written.
  [[noreturn]] void Refuse(const std::string& spec, const std::string& kinds,
                           const std::string& state) const {
    const bool top = spec == top_;
    throw DestroyRefused(
        DestroyRefused::Kind::kNotWritten,
        "Scourwell does not destroy " + kinds + "; '" + spec + "' " +
            (top ? "is " + state
                 : "(below '" + top_ + "') is " + state + ", so '" + top_ + "' was left as it is"),
        top ? state : "'" + spec + "' below it is " + state);
  }

  // "'$/b'", "'$/b' and '$/c'", or "another project" when none of them is known.
  std::string Holders(const std::vector<std::string>& physicals) const {
    std::vector<std::string> specs;
    for (const std::string& physical : physicals) {
      if (std::string spec = projectOf_ ? projectOf_(physical) : std::string(); !spec.empty()) {
        specs.push_back("'" + spec + "'");
      }
    }
    if (specs.empty()) {
      return "another project";
    }
    std::string text = specs.front();
    for (std::size_t i = 1; i < specs.size(); ++i) {
      text += (i + 1 == specs.size() ? " and " : ", ") + specs[i];
    }
    return text;
  }

  DataFolder& data_;
  FileLocks& locks_;
  const EntryCounts& counts_;
  const EntryNamer& nameOf_;
  const ProjectNamer& projectOf_;
  std::string top_;
  DestroyPlan plan_;
  std::set<std::string> seen_;
};

}  // namespace

DestroyPlan PlanDestroy(DataFolder& data, FileLocks& locks, const EntryCounts& counts,
                        const std::string& parent, const ProjectEntry& entry,
                        const std::string& spec, const EntryNamer& nameOf,
                        const ProjectNamer& projectOf) {
  Planner planner(data, locks, counts, nameOf, projectOf, spec);
  planner.Visit(parent, entry, spec, 0);
  return planner.Take();
}

}  // namespace vss6
