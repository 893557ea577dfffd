#include "engines/common/Files.h"

#include <sys/stat.h>

#include "engines/common/EngineError.h"
#include "platform/files/SafeFiles.h"

namespace sourcesafe {
namespace {

// Runs `work`, turning a file failure into the engine's error with the same description.
template <class Work>
auto WithFileErrors(ErrorCode code, Work&& work) {
  try {
    return work();
  } catch (const files::FileError& error) {
    throw EngineError(code, error.what());
  }
}

}  // namespace

mode_t NewFileMode(const std::filesystem::path& folder) {
  struct stat status {};
  if (::stat(folder.c_str(), &status) == 0 && (status.st_mode & S_ISGID) != 0) {
    return 0660;
  }
  return 0600;
}

void CreateEmptyFile(const std::filesystem::path& path, mode_t mode) {
  WithFileErrors(ErrorCode::kStorageFailure, [&] {
    const std::filesystem::path folderPath = path.has_parent_path() ? path.parent_path() : ".";
    const files::FileDescriptor folder = files::OpenFolder(folderPath);
    files::FileDescriptor file =
        files::CreateNewFile(folder, folderPath, path.filename().string(), mode);
    if (!file.Close()) {
      throw files::FileError("Cannot create '" + path.string() + "'", 0);
    }
  });
}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view text, mode_t mode) {
  WithFileErrors(ErrorCode::kStorageFailure, [&] { files::ReplaceFile(path, text, mode); });
}

std::string ReadSmallFile(const std::filesystem::path& path, std::size_t limit) {
  return WithFileErrors(ErrorCode::kFileNotFound,
                        [&] { return files::ReadPlainFile(path, limit); });
}

void RequirePlainDataFile(const std::filesystem::path& dataFile) {
  WithFileErrors(ErrorCode::kStorageFailure, [&] {
    files::OpenPlainFile(dataFile);
    // SQLite writes its journal beside the data file under this name, and would write through
    // a symbolic link planted there, or fail on anything else with a bare "cannot write".
    files::RequirePlainFileOrNothing(dataFile.string() + "-journal");
  });
}

}  // namespace sourcesafe
