#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vss6 {

// The data folder of a database: the files of each item in the letter folder of its physical
// name, found without regard to case (copies made on other systems change it), and read as
// plain files only.
class DataFolder {
 public:
  explicit DataFolder(std::filesystem::path path) : path_(std::move(path)) {}

  const std::filesystem::path& Path() const noexcept { return path_; }

  // The item file of `physical`, or with an extension (".A") its data file. Throws FormatError
  // naming the file when it is missing.
  std::filesystem::path ItemPath(const std::string& physical, std::string_view extension = {});

  // As ItemPath, but empty when the file is missing.
  std::filesystem::path FindItemFile(const std::string& physical, std::string_view extension = {});

  // Forgets the letter folders' contents read so far, after files were made or removed.
  void Forget() { folders_.clear(); }

  // A file of the folder with `name` in any case; empty when there is none.
  std::filesystem::path Find(const std::string& name) const;

  // At most `limit` + 1 bytes of a plain file; throws FormatError.
  static std::vector<unsigned char> Read(const std::filesystem::path& path, std::size_t limit);
  // A whole plain file of the database; a FormatError when it is larger than any file of a
  // database can be, which keeps a damaged or hostile one from taking the memory.
  static std::vector<unsigned char> ReadWhole(const std::filesystem::path& path);

 private:
  std::filesystem::path path_;
  // For each letter folder, its file names in lower case and their paths.
  std::unordered_map<std::string, std::unordered_map<std::string, std::filesystem::path>> folders_;
};

}  // namespace vss6
