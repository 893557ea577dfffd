#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/FileDescriptor.h"
#include "platform/registry/Registry.h"

namespace sqlite {
class Connection;
}

namespace registry {

// Where a root's hive lives: the current user's under $XDG_CONFIG_HOME (or ~/.config), the
// machine's under the first folder of $XDG_CONFIG_DIRS (or /etc/xdg), each in
// Pellbrook/registry/.
std::filesystem::path HivePath(HKEY root);

struct StoredValue {
  std::string name;
  DWORD type = REG_NONE;
  std::vector<unsigned char> data;
};

// One hive file: keys (case-insensitive names that keep their case) holding values. Every
// change is one transaction of its own, durable when the call returns. Results are Windows
// error codes.
class Hive {
 public:
  static constexpr std::int64_t kRootKey = 1;

  explicit Hive(std::filesystem::path file, bool userHive);
  ~Hive();

  const std::filesystem::path& File() const noexcept { return file_; }
  // What was found wrong with the hive file the last time it could not be opened, naming it;
  // empty when nothing was.
  const std::string& Problem() const noexcept { return problem_; }

  // The key at `names` below `from`; nothing when a key on the way is missing.
  LONG Find(std::int64_t from, const std::vector<std::string>& names, std::int64_t* key);
  // As Find, making the missing keys; `created` tells whether the last key was new.
  LONG Create(std::int64_t from, const std::vector<std::string>& names, std::int64_t* key,
              bool* created);
  LONG Exists(std::int64_t key);
  LONG SetValue(std::int64_t key, const std::string& name, DWORD type,
                const std::vector<unsigned char>& data);
  LONG GetValue(std::int64_t key, const std::string& name, StoredValue* value);
  LONG Values(std::int64_t key, std::vector<StoredValue>* values);
  LONG Subkeys(std::int64_t key, std::vector<std::string>* names);
  LONG DeleteKey(std::int64_t key);
  LONG DeleteValue(std::int64_t key, const std::string& name);

 private:
  // The connection for reading (nothing when the hive is missing or damaged) and for writing
  // (made on first write; nothing when the hive is damaged or may not be written).
  LONG ForReading(sqlite::Connection** connection);
  LONG ForWriting(sqlite::Connection** connection);
  LONG Open(bool create);
  // Opens the hive's folder, making it and the one above it when `make` is true and they are
  // missing; throws files::FileError.
  files::FileDescriptor OpenFolders(bool make);
  // Makes an empty hive file in its open folder; throws files::FileError.
  void MakeFile(const files::FileDescriptor& folder);
  // Keeps what was found wrong with the file, here and for LastHiveProblem.
  void NoteProblem(std::string problem);
  // Runs a SQLite call on the hive, noting the file's problem when it fails.
  LONG Noted(const std::function<LONG()>& work);
  // Runs `work` on an existing key under one read lock; ERROR_KEY_DELETED when it is gone.
  template <class Work>
  LONG Reading(std::int64_t key, Work&& work);
  // Runs `work` on an existing key in one write transaction, committed when it succeeds.
  template <class Work>
  LONG Writing(std::int64_t key, Work&& work);

  std::filesystem::path file_;
  bool userHive_;
  std::string problem_;
  std::unique_ptr<sqlite::Connection> connection_;
};

// The hive of a root, opened once for the life of the process.
Hive* HiveOf(HKEY root);

// What was last found wrong with any hive file, naming it, for a message that would otherwise
// give only an error number; empty when nothing was.
std::string LastHiveProblem();

}  // namespace registry
