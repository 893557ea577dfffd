#include "platform/vss6/DataFolder.h"

#include <system_error>

#include "platform/files/SafeFiles.h"
#include "platform/text/AsciiCase.h"
#include "platform/vss6/Records.h"

namespace vss6 {

std::filesystem::path DataFolder::ItemPath(const std::string& physical,
                                           std::string_view extension) {
  std::filesystem::path found = FindItemFile(physical, extension);
  if (found.empty()) {
    throw FormatError("The item file '" +
                      (path_ / text::AsciiLower(physical.substr(0, 1)) /
                       text::AsciiLower(physical + std::string(extension)))
                          .string() +
                      "' is missing");
  }
  return found;
}

std::filesystem::path DataFolder::FindItemFile(const std::string& physical,
                                               std::string_view extension) {
  const std::string letter = text::AsciiLower(physical.substr(0, 1));
  auto folder = folders_.find(letter);
  if (folder == folders_.end()) {
    std::unordered_map<std::string, std::filesystem::path> names;
    if (const std::filesystem::path letterFolder = Find(letter); !letterFolder.empty()) {
      std::error_code error;
      for (const auto& file : std::filesystem::directory_iterator(letterFolder, error)) {
        names.emplace(text::AsciiLower(file.path().filename().string()), file.path());
      }
    }
    folder = folders_.emplace(letter, std::move(names)).first;
  }
  const std::string wanted = text::AsciiLower(physical + std::string(extension));
  const auto found = folder->second.find(wanted);
  return found == folder->second.end() ? std::filesystem::path() : found->second;
}

std::filesystem::path DataFolder::Find(const std::string& name) const {
  std::error_code error;
  const std::string wanted = text::AsciiLower(name);
  for (const auto& entry : std::filesystem::directory_iterator(path_, error)) {
    if (text::AsciiLower(entry.path().filename().string()) == wanted) {
      return entry.path();
    }
  }
  return {};
}

std::vector<unsigned char> DataFolder::Read(const std::filesystem::path& path, std::size_t limit) {
  try {
    const std::string text = files::ReadPlainFile(path, limit);
    return {text.begin(), text.end()};
  } catch (const files::FileError& error) {
    throw FormatError(error.what());
  }
}

std::vector<unsigned char> DataFolder::ReadWhole(const std::filesystem::path& path) {
  constexpr std::size_t kMaxFileBytes = 256u << 20;
  std::vector<unsigned char> bytes = Read(path, kMaxFileBytes);
  if (bytes.size() > kMaxFileBytes) {
    throw FormatError("'" + path.string() + "' is larger than a file of a database can be");
  }
  return bytes;
}

}  // namespace vss6
