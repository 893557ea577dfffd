#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

namespace testing_support {

// A small SourceSafe 6 database written from the format's facts, for tests that must run where
// the shared real databases are not: srcsafe.ini and data/ with version.dat, um.dat, names.dat,
// aaaaaaaa.cnt, and for each item its item file (header, DH, parent-folder and log records), a
// project's entry file and a file's content file. Every record carries its check value; the
// consistency rules real databases keep hold (log and entry counts, entry order, parent-folder
// records, the parents' add, delete and share records).
class Vss6Builder {
 public:
  static constexpr const char* kRoot = "AAAAAAAA";

  // Physical names are handed out as SourceSafe hands them out: BAAAAAAA, CAAAAAAA, ...
  // Each gives the physical name of the item it adds.
  std::string Project(const std::string& parent, const std::string& name, bool deleted = false);
  std::string File(const std::string& parent, const std::string& name,
                   const std::string& content = "content\n", bool deleted = false);
  // One more entry for a file, in another project, as SourceSafe shares a file: both entries
  // marked shared, a parent-folder record more, the file's header counting two projects.
  void Share(const std::string& file, const std::string& project, bool deleted = false);
  // A damaged database: a further entry naming an item, with none of the marks of a share.
  void NameAgain(const std::string& physical, const std::string& project, const std::string& name,
                 bool deleted = false);
  // A user, with the code of their password (upper-case bytes in the code page).
  void User(const std::string& name, const std::string& upperCasePassword = "",
            bool readOnly = false);

  // Writes the database: `root`/srcsafe.ini (unless `withIni` is false) and `root`/data.
  void Write(const std::filesystem::path& root, bool withIni = true) const;

  // The bytes of um.dat for the users given.
  std::string UsersFile() const;

 private:
  struct Entry {
    std::size_t item;
    std::string project;  // physical name of the project holding it
    std::string name;
    bool deleted = false;
    bool shared = false;
    bool damaged = false;  // made by NameAgain: no record of it anywhere else
  };
  struct Item {
    std::string physical;
    std::string name;
    bool project = false;
    std::string content;
    std::string parent;  // the project that made it
  };
  struct UserRecord {
    std::string name;
    std::uint16_t code = 0;
    bool readOnly = false;
  };

  std::string Add(const std::string& parent, const std::string& name, bool project,
                  const std::string& content, bool deleted);
  std::size_t IndexOf(const std::string& physical) const;

  std::vector<Item> items_{{kRoot, "$", true, {}, {}}};
  std::unordered_map<std::string, std::size_t> indexes_{{kRoot, 0}};  // items_ by physical name
  std::vector<Entry> entries_;
  std::vector<UserRecord> users_{{"Admin", 0x6E90, false}};
};

}  // namespace testing_support
