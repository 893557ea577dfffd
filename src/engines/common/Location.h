#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace sourcesafe {

inline constexpr const char* kIniName = "srcsafe.ini";
inline constexpr const char* kDataFileName = "data.vssdb";
inline constexpr const char* kFormatVersion = "1";

// Where a database's files are.
struct DatabaseLocation {
  std::filesystem::path ini;
  std::filesystem::path dataFile;
};

// Finds the database that a typed path names: a folder holding srcsafe.ini (with or without a
// trailing separator), the ini file itself, or either written as a UNC path of a mounted share
// (resolved through `mountinfoFile`). Throws an EngineError naming the path when there is no
// readable database of this engine's format there.
DatabaseLocation LocateDatabase(const std::string& typedPath,
                                const std::filesystem::path& mountinfoFile);

// Where a SourceSafe 6 database's files are, and what its srcsafe.ini says of its rights.
struct SourceSafe6Location {
  std::filesystem::path ini;     // empty when the database has none
  std::filesystem::path data;    // absolute, normalised
  std::filesystem::path folder;  // the ini's folder, or without one the data folder's parent
  // A setting about project security is switched on, or there is no srcsafe.ini to say it is
  // off: then rights are kept per project in rights.dat.
  bool projectSecurity = false;
};

// The SourceSafe 6 database that a typed path names: a folder holding srcsafe.ini (with or
// without a trailing separator), the ini itself, a folder holding data/ but no ini, or the data
// folder itself; any of them also as a UNC path of a mounted share (resolved through
// `mountinfoFile`). An ini is one when it names a Data_Path: relative to the ini's folder,
// absolute, or a UNC path of a mounted share. A data folder is one when its um.dat is a
// SourceSafe user file and it has a version.dat; the data folder of an ini beside it whose
// Data_Path names it takes that ini's settings. Nothing when the path names no such database
// (one of our own, or nothing at all); throws an EngineError naming the path when its Data_Path
// cannot be followed.
std::optional<SourceSafe6Location> LocateSourceSafe6(const std::string& typedPath,
                                                     const std::filesystem::path& mountinfoFile);

// The formats a database can be in.
enum class DatabaseFormat { OwnFormat, SourceSafe6 };

// The one answer to which format the database a typed path names is in: SourceSafe 6 when
// LocateSourceSafe6 finds one (mounted shares through /proc/self/mountinfo), else our own (whose
// Open says what is wrong when nothing is there). Throws an EngineError naming the path when an
// ini's Data_Path cannot be followed.
DatabaseFormat FormatOf(const std::string& typedPath);

// The data folder of the SourceSafe 6 database that LocateSourceSafe6 finds.
std::optional<std::filesystem::path> LocateSourceSafe6Data(
    const std::string& typedPath, const std::filesystem::path& mountinfoFile);

// The text of a new database's srcsafe.ini.
std::string NewIniText();

}  // namespace sourcesafe
