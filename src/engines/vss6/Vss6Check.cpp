#include "engines/vss6/Vss6Check.h"

#include <fcntl.h>

#include <map>
#include <set>

#include "engines/vss6/CodePage.h"
#include "engines/vss6/DataFolder.h"
#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/Layout.h"
#include "engines/vss6/LogActions.h"
#include "engines/vss6/NamesFile.h"
#include "engines/vss6/Users.h"
#include "platform/text/AsciiCase.h"

namespace vss6 {
namespace {

class Checker {
 public:
  Checker(std::filesystem::path data, const std::string& codePage)
      : data_(std::move(data)), codePage_(codePage) {}

  std::vector<std::string> Run() {
    const std::filesystem::path versionPath = data_.Find("version.dat");
    const std::vector<unsigned char> version =
        versionPath.empty() ? std::vector<unsigned char>() : Read(versionPath);
    if (version.size() != 2 || version[0] != 6 || version[1] != 0) {
      throw VersionError("'" + (data_.Path() / "version.dat").string() +
                         "' does not say format version 6; this program reads SourceSafe 6 "
                         "databases only");
    }
    if (const std::filesystem::path names = data_.Find("names.dat"); !names.empty()) {
      try {
        names_ = NamesFile(Read(names), names.string());
      } catch (const FormatError&) {
        // Said by CheckNames; the short names are shown meanwhile.
      }
    }
    std::vector<std::string> pending{"AAAAAAAA"};
    std::set<std::string> seen{"AAAAAAAA"};
    while (!pending.empty()) {
      const std::string project = pending.back();
      pending.pop_back();
      try {
        for (const std::string& child : CheckProject(project)) {
          if (seen.insert(child).second) {
            pending.push_back(child);
          } else {
            faults_.push_back("tree: the project " + child + " is named by two entries");
          }
        }
      } catch (const FormatError& error) {
        faults_.push_back(std::string("records: ") + error.what());
      }
    }
    CheckNames();
    CheckUsers();
    CheckNothingLeftOver(seen);
    for (const auto& [physical, parents] : fileParents_) {
      try {
        CheckFile(physical, parents);
      } catch (const FormatError& error) {
        faults_.push_back(std::string("records: ") + error.what());
      }
    }
    return faults_;
  }

 private:
  struct ItemFile {
    std::filesystem::path path;
    std::vector<unsigned char> bytes;
    ItemHeader header;
    std::vector<Record> records;  // after the DH record, each checked
  };

  std::filesystem::path PathOf(const std::string& physical, const std::string& extension = {}) {
    return data_.ItemPath(physical, extension);
  }

  std::vector<unsigned char> Read(const std::filesystem::path& path) {
    return data_.ReadWhole(path);
  }

  ItemFile ReadItem(const std::string& physical) {
    ItemFile item;
    item.path = PathOf(physical);
    item.bytes = Read(item.path);
    const std::string file = item.path.string();
    item.header = ReadItemHeader(item.bytes, file);
    item.records = ReadItemRecords(item.bytes, file);
    std::uint16_t logs = 0;
    std::size_t lastLog = 0;
    for (const Record& record : item.records) {
      if (record.signature == "EL") {
        ++logs;
        lastLog = record.offset;
      }
    }
    const auto fault = [&](const std::string& what) {
      faults_.push_back("headers: '" + file + "' " + what);
    };
    if (logs != item.header.logEntries) {
      fault("counts " + std::to_string(item.header.logEntries) + " log entries; it holds " +
            std::to_string(logs));
    }
    if (logs > 0 && lastLog != item.header.lastLog) {
      fault("gives " + std::to_string(item.header.lastLog) +
            " as its last log entry's offset; it is " + std::to_string(lastLog));
    }
    if (item.header.endOfFile != item.bytes.size()) {
      fault("gives " + std::to_string(item.header.endOfFile) + " as its end; the file has " +
            std::to_string(item.bytes.size()) + " bytes");
    }
    return item;
  }

  // Checks a project; gives back its child projects.
  std::vector<std::string> CheckProject(const std::string& physical) {
    const ItemFile item = ReadItem(physical);
    const std::string file = item.path.string();
    if (item.header.type != kProjectType) {
      throw FormatError("'" + file + "' is named as a project but is a file's");
    }
    const std::filesystem::path entryPath = PathOf(physical, item.header.dataExtension);
    const std::vector<ProjectEntry> entries = ReadEntryFile(Read(entryPath), entryPath.string());
    std::vector<std::string> projects;
    std::set<std::string> named;
    std::set<std::string> deleted;
    int liveProjects = 0;
    for (std::size_t index = 1; index < entries.size(); ++index) {
      // Entries are kept in the order of their short names in lower case, byte by byte.
      if (text::AsciiLower(entries[index].name.shortName) <
          text::AsciiLower(entries[index - 1].name.shortName)) {
        faults_.push_back("order: '" + entryPath.string() + "' lists '" +
                          codePage_.ToUtf8(entries[index].name.shortName) + "' after '" +
                          codePage_.ToUtf8(entries[index - 1].name.shortName) + "'");
        break;
      }
    }
    // Live entries SourceSafe takes for one: their names alike but for letter case.
    std::map<std::string, std::string> liveNames;  // upper case → as named
    for (const ProjectEntry& entry : entries) {
      if (entry.Deleted()) {
        continue;
      }
      const std::string name = NameOf(entry);
      const auto [at, added] = liveNames.emplace(codePage_.UpperCase(name), name);
      if (!added) {
        faults_.push_back("names: '" + entryPath.string() + "' holds two live entries named '" +
                          at->second + "' and '" + name + "', which SourceSafe takes for one name");
      }
    }
    for (const ProjectEntry& entry : entries) {
      named.insert(entry.physical);
      if (entry.Deleted()) {
        deleted.insert(entry.physical);
      }
      if (entry.type == kProjectType) {
        projects.push_back(entry.physical);
        liveProjects += entry.Deleted() ? 0 : 1;
      } else {
        fileParents_[entry.physical].push_back(physical);
      }
    }
    if (item.header.totalEntries != entries.size()) {
      faults_.push_back("headers: '" + file + "' counts " +
                        std::to_string(item.header.totalEntries) + " entries; '" +
                        entryPath.string() + "' holds " + std::to_string(entries.size()));
    }
    if (item.header.subprojects != liveProjects) {
      faults_.push_back("headers: '" + file + "' counts " +
                        std::to_string(item.header.subprojects) + " subprojects; " +
                        std::to_string(liveProjects) + " live ones are listed");
    }
    // The children the log adds, deletes, recovers or destroys, with the last such action.
    std::map<std::string, std::uint16_t> lastAction;
    // And the last delete or recover of each: the entry's deleted bit follows it.
    std::map<std::string, std::uint16_t> lastDeleteOrRecover;
    for (const Record& record : item.records) {
      if (record.signature != "EL") {
        continue;
      }
      const std::uint16_t action = ReadU16(record.body, kLogActionAt, file);
      std::size_t at = 0;
      switch (action) {
        case kAddProject:
        case kAddFile:
        case kDeleteProject:
        case kDeleteFile:
        case kRecoverProject:
        case kRecoverFile:
          at = kLogChildPhysical;
          break;
        case kDestroyProject:
        case kDestroyFile:
          at = kDestroyPhysical;
          // As every destroy record SourceSafe wrote: no comment, which it says by pointing
          // the comment just past the record.
          if (record.body.size() != kLogBodySize ||
              ReadU32(record.body, kLogCommentAt, file) != record.End() ||
              ReadU16(record.body, kLogLabelCommentAt, file) != 0) {
            faults_.push_back("destroys: '" + file + "' at offset " +
                              std::to_string(record.offset) +
                              ": a destroy record that is not as SourceSafe writes them");
          }
          break;
        default:
          continue;
      }
      const std::string child =
          text::AsciiUpper(std::string(FieldText(record.body, at, kPhysicalSize, file)));
      if (IsPhysicalName(child)) {
        lastAction[child] = action;
        if (action >= kDeleteProject && action <= kRecoverFile) {
          lastDeleteOrRecover[child] = action;
        }
      }
    }
    for (const auto& [child, action] : lastDeleteOrRecover) {
      const bool recovered = action == kRecoverProject || action == kRecoverFile;
      if (named.count(child) != 0 && recovered == (deleted.count(child) != 0)) {
        faults_.push_back("entries: the log of '" + file + "' last " +
                          (recovered ? "recovers" : "deletes") + " the child " + child +
                          ", which its entry file '" + entryPath.string() + "' marks " +
                          (recovered ? "deleted" : "live"));
      }
    }
    for (const auto& [child, action] : lastAction) {
      const bool destroyed = action == kDestroyProject || action == kDestroyFile;
      if (!destroyed && named.count(child) == 0) {
        faults_.push_back("entries: the log of '" + file + "' names the child " + child +
                          ", which its entry file '" + entryPath.string() + "' lacks");
      }
    }
    return projects;
  }

  // Item files (eight letters, no extension) that no entry names: what a destroy must not leave.
  // And symbolic links, which SourceSafe would follow and this program does not.
  void CheckNothingLeftOver(const std::set<std::string>& projects) {
    DataFolder::Contents contents;
    try {
      contents = data_.List();
    } catch (const FormatError& error) {
      faults_.push_back(std::string("records: ") + error.what());
    }
    for (const std::filesystem::path& file : contents.files) {
      const std::string physical = text::AsciiUpper(file.filename().string());
      const std::string letter = text::AsciiUpper(file.parent_path().filename().string());
      if (IsPhysicalName(physical) && projects.count(physical) == 0 &&
          fileParents_.count(physical) == 0 && physical[0] == letter[0]) {
        faults_.push_back("leftovers: '" + file.string() +
                          "' is an item file that no project names");
      }
    }
    for (const std::filesystem::path& link : contents.links) {
      faults_.push_back("links: '" + link.string() +
                        "' is a symbolic link; this program does not follow links in the data "
                        "folder, so what lies behind it is not read or changed");
    }
  }

  // um.dat: the users, each record checked, as an open reads them.
  void CheckUsers() {
    const std::filesystem::path users = data_.Find("um.dat");
    if (users.empty()) {
      faults_.push_back("users: '" + (data_.Path() / "um.dat").string() +
                        "' is missing; nobody can log in");
      return;
    }
    try {
      ReadUsers(Read(users), users.string());
    } catch (const FormatError& failure) {
      faults_.push_back(std::string("users: ") + failure.what() + "; nobody can log in");
    }
  }

  // names.dat: its records one after the other, each checked.
  void CheckNames() {
    const std::filesystem::path names = data_.Find("names.dat");
    if (names.empty()) {
      return;
    }
    try {
      const std::vector<unsigned char> bytes = Read(names);
      // The header first (an open reads it), then the name sets.
      std::size_t offset = ReadRecord(bytes, 0, "HN", names.string()).End();
      while (offset < bytes.size()) {
        offset = ReadRecord(bytes, offset, names.string()).End();
      }
    } catch (const FormatError& failure) {
      faults_.push_back(std::string("names: ") + failure.what() +
                        "; the database cannot be opened with it");
    }
  }

  void CheckFile(const std::string& physical, const std::vector<std::string>& parents) {
    const ItemFile item = ReadItem(physical);
    const std::string file = item.path.string();
    if (item.header.type != kFileType) {
      throw FormatError("'" + file + "' is named as a file but is a project's");
    }
    std::multiset<std::string> folders;
    for (const Record& record : item.records) {
      if (record.signature == "PF") {
        folders.insert(text::AsciiUpper(
            std::string(FieldText(record.body, kPfProjectAt, kPhysicalSize, file))));
      }
    }
    const std::multiset<std::string> entries(parents.begin(), parents.end());
    if (folders != entries) {
      faults_.push_back("parents: '" + file + "' has " + std::to_string(folders.size()) +
                        " parent-folder records that do not match the " +
                        std::to_string(entries.size()) + " entries naming it");
    }
    if (item.header.projectReferences != entries.size()) {
      faults_.push_back("headers: '" + file + "' counts " +
                        std::to_string(item.header.projectReferences) + " projects holding it; " +
                        std::to_string(entries.size()) + " entries name it");
    }
    // Its current content, which a get, a listing's size and SourceSafe's Analyze all read.
    try {
      data_.Open(data_.ItemPath(physical, item.header.dataExtension), O_RDONLY);
    } catch (const std::exception& error) {
      faults_.push_back("contents: the content file of '" + file +
                        "' cannot be read: " + error.what());
    }
    const bool shared = (item.header.fileFlags & kFileShared) != 0;
    if (shared != (entries.size() >= 2)) {
      faults_.push_back("headers: '" + file + "' is " + (shared ? "" : "not ") +
                        "marked shared but is named by " + std::to_string(entries.size()) +
                        " entries");
    }
  }

  // An entry's name, its long one where names.dat can give it.
  std::string NameOf(const ProjectEntry& entry) const {
    try {
      return EntryName(entry.name, entry.type == kProjectType, names_, codePage_);
    } catch (const FormatError&) {
      return codePage_.ToUtf8(entry.name.shortName);
    }
  }

  DataFolder data_;
  CodePage codePage_;
  NamesFile names_;
  std::vector<std::string> faults_;
  std::map<std::string, std::vector<std::string>> fileParents_;  // file → projects naming it
};

}  // namespace

std::vector<std::string> CheckDatabase(const std::filesystem::path& dataFolder,
                                       const std::string& codePage) {
  return Checker(dataFolder, codePage).Run();
}

}  // namespace vss6
