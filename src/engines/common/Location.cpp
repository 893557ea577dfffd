#include "engines/common/Location.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

#include "engines/common/EngineError.h"
#include "engines/common/Files.h"
#include "engines/common/IniFile.h"
#include "engines/common/UncPath.h"
#include "platform/text/AsciiCase.h"

namespace sourcesafe {
namespace {

constexpr std::size_t kMaxIniBytes = 64 * 1024;

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

std::filesystem::path LocalPath(const std::string& typedPath,
                                const std::filesystem::path& mountinfoFile) {
  if (!IsUncPath(typedPath)) {
    return typedPath;
  }
  std::ifstream in(mountinfoFile);
  std::stringstream mountinfo;
  mountinfo << in.rdbuf();
  return ResolveUncPath(typedPath, mountinfo.str());
}

bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("/\\") == std::string::npos && name.find('\0') == std::string::npos;
}

}  // namespace

DatabaseLocation LocateDatabase(const std::string& typedPath,
                                const std::filesystem::path& mountinfoFile) {
  if (typedPath.empty()) {
    throw EngineError(ErrorCode::kFileNotFound, "No database path was given");
  }
  const std::filesystem::path path = LocalPath(typedPath, mountinfoFile);
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  DatabaseLocation location;
  if (status.type() == std::filesystem::file_type::not_found) {
    throw EngineError(ErrorCode::kFileNotFound,
                      "The database path " + Quoted(path) + " does not exist");
  } else if (status.type() == std::filesystem::file_type::directory) {
    location.ini = path / kIniName;
    if (!std::filesystem::exists(std::filesystem::symlink_status(location.ini, error))) {
      throw EngineError(ErrorCode::kFileNotFound, "The folder " + Quoted(path) + " holds no " +
                                                      kIniName +
                                                      ": it is not a source-control database");
    }
  } else if (status.type() == std::filesystem::file_type::regular) {
    location.ini = path;
  } else if (error) {
    throw EngineError(ErrorCode::kFileNotFound,
                      "Cannot reach the database path " + Quoted(path) + ": " + error.message());
  } else {
    throw EngineError(ErrorCode::kNotADatabase,
                      Quoted(path) + " is neither a database folder nor its " + kIniName);
  }

  const std::string text = ReadSmallFile(location.ini, kMaxIniBytes);
  const std::optional<IniFile> ini =
      text.size() > kMaxIniBytes ? std::nullopt : IniFile::Parse(text);
  if (!ini) {
    throw EngineError(ErrorCode::kNotADatabase,
                      Quoted(location.ini) + " is not a " + kIniName + " file");
  }
  const std::optional<std::string> dataFile = ini->Get("Data_File");
  if (!dataFile) {
    if (ini->Get("Data_Path")) {
      throw EngineError(ErrorCode::kUnsupportedVersion,
                        Quoted(location.ini) +
                            " describes a SourceSafe 6 database (it names a Data_Path): the window "
                            "and vssdb list, destroy and check work on it; nothing else here "
                            "changes it");
    }
    throw EngineError(ErrorCode::kNotADatabase,
                      Quoted(location.ini) + " names no Data_File: it is not a database");
  }
  const std::string version = ini->Get("Format_Version").value_or("");
  if (version != kFormatVersion) {
    throw EngineError(ErrorCode::kUnsupportedVersion,
                      Quoted(location.ini) + " describes a database of format version '" + version +
                          "'; this program reads version " + kFormatVersion);
  }
  if (!IsPlainFileName(*dataFile)) {
    throw EngineError(ErrorCode::kNotADatabase,
                      Quoted(location.ini) + " names a data file outside its own folder");
  }
  location.dataFile = location.ini.parent_path() / *dataFile;
  if (!std::filesystem::exists(std::filesystem::symlink_status(location.dataFile, error))) {
    throw EngineError(ErrorCode::kFileNotFound, "The data file " + Quoted(location.dataFile) +
                                                    " named by " + Quoted(location.ini) +
                                                    " is missing");
  }
  RequirePlainDataFile(location.dataFile);
  return location;
}

DatabaseFormat FormatOf(const std::string& typedPath) {
  return LocateSourceSafe6(typedPath, "/proc/self/mountinfo") ? DatabaseFormat::SourceSafe6
                                                              : DatabaseFormat::OwnFormat;
}

std::optional<std::filesystem::path> LocateSourceSafe6Data(
    const std::string& typedPath, const std::filesystem::path& mountinfoFile) {
  const std::optional<SourceSafe6Location> found = LocateSourceSafe6(typedPath, mountinfoFile);
  return found ? std::optional(found->data) : std::nullopt;
}

namespace {

// A file or folder of `folder` named `name` in any letter case; empty when there is none.
std::filesystem::path FindAnyCase(const std::filesystem::path& folder, const std::string& name) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (text::AsciiEqualNoCase(entry.path().filename().string(), name)) {
      return entry.path();
    }
  }
  return {};
}

// Whether `folder` holds the data of a SourceSafe database: a user file with its magic, and a
// version.dat (which says what version: the reader tells another one).
bool IsSourceSafeData(const std::filesystem::path& folder) {
  std::error_code error;
  if (!std::filesystem::is_directory(std::filesystem::symlink_status(folder, error))) {
    return false;
  }
  const std::filesystem::path users = FindAnyCase(folder, "um.dat");
  if (users.empty() || FindAnyCase(folder, "version.dat").empty()) {
    return false;
  }
  try {
    return ReadSmallFile(users, 32).rfind("UserManagement@Microsoft", 0) == 0;
  } catch (const EngineError&) {
    return false;
  }
}

std::filesystem::path Absolute(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error).lexically_normal();
  return absolute.has_filename() ? absolute : absolute.parent_path();
}

// The database that the srcsafe.ini at `ini` describes; nothing when it is not a SourceSafe 6 ini.
std::optional<SourceSafe6Location> FromIni(const std::filesystem::path& ini,
                                           const std::filesystem::path& mountinfoFile) {
  const std::string text = ReadSmallFile(ini, kMaxIniBytes);
  const std::optional<IniFile> parsed =
      text.size() > kMaxIniBytes ? std::nullopt : IniFile::Parse(text);
  const std::optional<std::string> dataPath = parsed ? parsed->Get("Data_Path") : std::nullopt;
  if (!dataPath || parsed->Get("Data_File")) {
    return std::nullopt;
  }
  std::filesystem::path data;
  if (IsUncPath(*dataPath)) {
    data = LocalPath(*dataPath, mountinfoFile);
  } else if (dataPath->size() >= 2 && (*dataPath)[1] == ':') {
    throw EngineError(ErrorCode::kFileNotFound,
                      Quoted(ini) + " keeps its data at '" + *dataPath +
                          "', a drive of a Windows machine; give it as a UNC path of a share "
                          "mounted here, or as a path relative to the ini");
  } else {
    std::string relative = *dataPath;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    data = ini.parent_path() / relative;
  }
  std::error_code error;
  if (!std::filesystem::is_directory(data, error)) {
    throw EngineError(ErrorCode::kFileNotFound, "The data folder " + Quoted(data) + " that " +
                                                    Quoted(ini) + " names does not exist");
  }
  SourceSafe6Location location{Absolute(ini), Absolute(data), Absolute(ini).parent_path(), false};
  for (const std::string& key : parsed->KeysContaining("security")) {
    const std::string value = text::AsciiLower(parsed->Get(key).value_or(""));
    location.projectSecurity =
        location.projectSecurity || value == "yes" || value == "true" || value == "1";
  }
  return location;
}

// A data folder without an ini of its own: its settings are not known, so project security is
// taken to be on.
SourceSafe6Location WithoutIni(const std::filesystem::path& data) {
  const std::filesystem::path absolute = Absolute(data);
  return {{}, absolute, absolute.parent_path(), true};
}

}  // namespace

std::optional<SourceSafe6Location> LocateSourceSafe6(const std::string& typedPath,
                                                     const std::filesystem::path& mountinfoFile) {
  if (typedPath.empty()) {
    return std::nullopt;
  }
  const std::filesystem::path path = LocalPath(typedPath, mountinfoFile);
  std::error_code error;
  if (!std::filesystem::is_directory(path, error)) {
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
      return std::nullopt;
    }
    return FromIni(path, mountinfoFile);
  }
  if (std::filesystem::exists(std::filesystem::symlink_status(path / kIniName, error))) {
    return FromIni(path / kIniName, mountinfoFile);
  }
  if (const std::filesystem::path data = FindAnyCase(path, "data");
      !data.empty() && IsSourceSafeData(data)) {
    return WithoutIni(data);
  }
  if (!IsSourceSafeData(path)) {
    return std::nullopt;
  }
  // The data folder itself: the ini beside it, when it names this folder, gives the settings.
  const std::filesystem::path parent = Absolute(path).parent_path();
  if (std::filesystem::exists(std::filesystem::symlink_status(parent / kIniName, error))) {
    try {
      if (const auto location = FromIni(parent / kIniName, mountinfoFile);
          location && std::filesystem::equivalent(location->data, path, error)) {
        return location;
      }
    } catch (const EngineError&) {
      // An ini that names another data folder, or one that is not there, is not this one's.
    }
  }
  return WithoutIni(path);
}

std::string NewIniText() {
  return std::string("; Source-control database. Keep this file beside its data file.\n") +
         "Format_Version = " + kFormatVersion + "\nData_File = " + kDataFileName + "\n";
}

}  // namespace sourcesafe
