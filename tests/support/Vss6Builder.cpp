#include "support/Vss6Builder.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <stdexcept>

#include "engines/vss6/Records.h"
#include "engines/vss6/Users.h"
#include "platform/text/AsciiCase.h"

namespace testing_support {
namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::uint32_t kTime = 1700000000;
constexpr std::size_t kLogBody = 404;

void Put(Bytes& bytes, std::size_t at, const std::string& text) {
  std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

void Append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::string ShortName(const std::string& name) {
  return name.size() <= 33 && name.find(' ') == std::string::npos ? name : name.substr(0, 8);
}

// The names.dat being made: one name set a name, with its offset.
class Names {
 public:
  Names() { bytes_.resize(8 + 80); }
  std::uint32_t Offset(const std::string& name, bool project) {
    const auto key = std::make_pair(name, project);
    if (const auto found = offsets_.find(key); found != offsets_.end()) {
      return found->second;
    }
    Bytes body(8 + name.size() + 1, 0);
    vss6::WriteU16(body, 0, 1);                 // one name
    vss6::WriteU16(body, 4, project ? 10 : 2);  // its kind: the long name
    Put(body, 8, name);
    const auto offset = static_cast<std::uint32_t>(bytes_.size());
    Append(bytes_, vss6::MakeRecord("SN", body));
    offsets_[key] = offset;
    return offset;
  }
  Bytes Finish() const {
    Bytes body(80, 0);
    vss6::WriteU32(body, 16, static_cast<std::uint32_t>(bytes_.size()));
    Bytes all = vss6::MakeRecord("HN", body);
    all.insert(all.end(), bytes_.begin() + 88, bytes_.end());
    return all;
  }

 private:
  Bytes bytes_;
  std::map<std::pair<std::string, bool>, std::uint32_t> offsets_;
};

// The 40-byte NAME of an item.
Bytes NameField(const std::string& name, bool project, Names& names) {
  Bytes field(40, 0);
  vss6::WriteU16(field, 0, project ? 1 : 0);
  Put(field, 2, ShortName(name));
  vss6::WriteU32(field, 36, names.Offset(name, project));
  return field;
}

// A log record of a project about a child: its NAME and physical name.
Bytes LogRecord(std::uint32_t previous, std::uint16_t action, std::uint16_t revision,
                std::uint32_t offset, const Bytes& name, const std::string& physical) {
  Bytes body(kLogBody, 0);
  vss6::WriteU32(body, 0, previous);
  vss6::WriteU16(body, 4, action);
  vss6::WriteU16(body, 6, revision);
  vss6::WriteU32(body, 8, kTime + revision);
  Put(body, 12, "Admin");
  vss6::WriteU32(body, 76, offset + 8 + static_cast<std::uint32_t>(kLogBody));
  std::copy(name.begin(), name.end(), body.begin() + 88);
  Put(body, 128, physical);
  return vss6::MakeRecord("EL", body);
}

std::filesystem::path ItemPath(const std::filesystem::path& data, const std::string& physical,
                               const std::string& extension = {}) {
  return data / text::AsciiLower(physical.substr(0, 1)) / text::AsciiLower(physical + extension);
}

}  // namespace

std::string Vss6Builder::Add(const std::string& parent, const std::string& name, bool project,
                             const std::string& content, bool deleted) {
  const std::size_t parentIndex = IndexOf(parent);
  if (!items_[parentIndex].project) {
    throw std::invalid_argument(parent + " is not a project");
  }
  // Base 26, the first letter the least significant.
  std::string physical(8, 'A');
  std::size_t number = items_.size();
  for (std::size_t i = 0; i < 8; ++i) {
    physical[i] = static_cast<char>('A' + number % 26);
    number /= 26;
  }
  indexes_[physical] = items_.size();
  items_.push_back({physical, name, project, content, parent});
  entries_.push_back({items_.size() - 1, parent, name, deleted, false, false});
  return physical;
}

std::string Vss6Builder::Project(const std::string& parent, const std::string& name, bool deleted) {
  return Add(parent, name, true, {}, deleted);
}

std::string Vss6Builder::File(const std::string& parent, const std::string& name,
                              const std::string& content, bool deleted) {
  return Add(parent, name, false, content, deleted);
}

void Vss6Builder::Share(const std::string& file, const std::string& project, bool deleted) {
  const std::size_t index = IndexOf(file);
  for (Entry& entry : entries_) {
    if (entry.item == index) {
      entry.shared = true;
    }
  }
  entries_.push_back({index, project, items_[index].name, deleted, true, false});
}

void Vss6Builder::NameAgain(const std::string& physical, const std::string& project,
                            const std::string& name, bool deleted) {
  entries_.push_back({IndexOf(physical), project, name, deleted, false, true});
}

void Vss6Builder::User(const std::string& name, const std::string& upperCasePassword,
                       bool readOnly) {
  users_.push_back({name, vss6::PasswordCode(upperCasePassword), readOnly});
}

std::size_t Vss6Builder::IndexOf(const std::string& physical) const {
  const auto found = indexes_.find(physical);
  if (found == indexes_.end()) {
    throw std::invalid_argument("no item " + physical);
  }
  return found->second;
}

std::string Vss6Builder::UsersFile() const {
  Bytes bytes(0x7C, 0);
  Put(bytes, 0, "UserManagement@Microsoft");
  for (const UserRecord& user : users_) {
    Bytes body(56, 0);
    Put(body, 0, user.name.substr(0, 31));
    vss6::WriteU16(body, 32, user.code);
    vss6::WriteU16(body, 34, user.readOnly ? 1 : 0);
    Append(bytes, vss6::MakeRecord("UU", body));
  }
  return {bytes.begin(), bytes.end()};
}

void Vss6Builder::Write(const std::filesystem::path& root, bool withIni) const {
  const std::filesystem::path data = root / "data";
  std::filesystem::create_directories(data);
  if (withIni) {
    std::ofstream(root / "srcsafe.ini") << "Data_Path = data\r\nTemp_Path = temp\r\n";
  }
  WriteFile(data / "version.dat", {6, 0});
  const std::string users = UsersFile();
  WriteFile(data / "um.dat", Bytes(users.begin(), users.end()));
  std::ofstream(data / "aaaaaaaa.cnt") << items_.back().physical;
  Names names;

  // Each item's path, for the parent paths in project headers.
  std::map<std::string, std::string> specs{{kRoot, "$/"}};
  for (const Item& item : items_) {
    if (!item.parent.empty()) {
      const std::string& above = specs[item.parent];
      specs[item.physical] = above + (above == "$/" ? "" : "/") + item.name;
    }
  }

  // The entries of each project and those naming each item, found once.
  std::unordered_map<std::string, std::vector<const Entry*>> inProject;
  std::vector<std::vector<const Entry*>> naming(items_.size());
  for (const Entry& entry : entries_) {
    inProject[entry.project].push_back(&entry);
    naming[entry.item].push_back(&entry);
  }

  for (std::size_t index = 0; index < items_.size(); ++index) {
    const Item& item = items_[index];
    Bytes file(0x34, 0);
    Put(file, 0, "SourceSafe@Microsoft");
    vss6::WriteU16(file, 0x20, item.project ? 1 : 2);
    vss6::WriteU16(file, 0x22, 6);
    Bytes dh(356, 0);
    vss6::WriteU16(dh, 0, item.project ? 1 : 2);
    const Bytes name = NameField(item.name, item.project, names);
    std::copy(name.begin(), name.end(), dh.begin() + 4);
    vss6::WriteU16(dh, 44, 1);
    Put(dh, 46, ".A");
    Bytes records;  // after the DH
    const auto offset = [&] { return static_cast<std::uint32_t>(0x34 + 8 + 356 + records.size()); };
    std::uint16_t logs = 0;
    std::uint32_t firstLog = 0;
    std::uint32_t lastLog = 0;
    const auto log = [&](std::uint16_t action, const Bytes& childName, const std::string& child) {
      const std::uint32_t at = offset();
      firstLog = firstLog == 0 ? at : firstLog;
      Append(records, LogRecord(lastLog, action, ++logs, at, childName, child));
      lastLog = at;
    };

    if (item.project) {
      log(1, name, item.physical);  // created
      std::vector<const Entry*> children = inProject[item.physical];
      for (const Entry* entry : children) {
        if (entry->damaged) {
          continue;
        }
        const Item& child = items_[entry->item];
        const bool sharedHere = entry->shared && child.parent != item.physical;
        log(sharedHere ? 14 : (child.project ? 2 : 3), NameField(entry->name, child.project, names),
            child.physical);
      }
      for (const Entry* entry : children) {
        if (entry->deleted && !entry->damaged) {
          const Item& child = items_[entry->item];
          log(child.project ? 6 : 7, NameField(entry->name, child.project, names), child.physical);
        }
      }
      std::stable_sort(children.begin(), children.end(), [&](const Entry* a, const Entry* b) {
        return text::AsciiLower(ShortName(a->name)) < text::AsciiLower(ShortName(b->name));
      });
      Bytes entryFile;
      int liveProjects = 0;
      for (const Entry* entry : children) {
        const Item& child = items_[entry->item];
        Bytes jp(56, 0);
        vss6::WriteU16(jp, 0, child.project ? 1 : 2);
        vss6::WriteU16(jp, 2, (entry->deleted ? 0x01 : 0) | (entry->shared ? 0x08 : 0));
        const Bytes childName = NameField(entry->name, child.project, names);
        std::copy(childName.begin(), childName.end(), jp.begin() + 4);
        Put(jp, 46, child.physical);
        Append(entryFile, vss6::MakeRecord("JP", jp));
        liveProjects += child.project && !entry->deleted ? 1 : 0;
      }
      WriteFile(ItemPath(data, item.physical, ".a"), entryFile);
      if (!item.parent.empty()) {
        Put(dh, 80, specs[item.parent].substr(0, 259));  // as far as the field holds it
        Put(dh, 340, item.parent);
      }
      vss6::WriteU16(dh, 352, static_cast<std::uint16_t>(children.size()));
      vss6::WriteU16(dh, 354, static_cast<std::uint16_t>(liveProjects));
    } else {
      std::uint32_t lastFolder = 0;
      std::uint16_t projects = 0;
      for (const Entry* entry : naming[index]) {
        if (entry->damaged) {
          continue;
        }
        Bytes pf(16, 0);
        vss6::WriteU32(pf, 0, lastFolder);
        Put(pf, 4, entry->project);
        lastFolder = offset();
        Append(records, vss6::MakeRecord("PF", pf));
        ++projects;
      }
      log(16, name, item.physical);  // created
      vss6::WriteU16(dh, 80, projects >= 2 ? 0x20 : 0);
      vss6::WriteU32(dh, 96, lastFolder);
      vss6::WriteU16(dh, 102, projects);
      WriteFile(ItemPath(data, item.physical, ".a"),
                Bytes(item.content.begin(), item.content.end()));
    }
    vss6::WriteU16(dh, 2, logs);
    vss6::WriteU32(dh, 48, firstLog);
    vss6::WriteU32(dh, 52, lastLog);
    vss6::WriteU32(dh, 56, offset());
    Append(file, vss6::MakeRecord("DH", dh));
    Append(file, records);
    WriteFile(ItemPath(data, item.physical), file);
  }
  WriteFile(data / "names.dat", names.Finish());
}

}  // namespace testing_support
