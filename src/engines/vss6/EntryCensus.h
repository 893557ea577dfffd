#pragma once

#include <filesystem>
#include <string>
#include <unordered_map>

#include "engines/vss6/DataFolder.h"

namespace vss6 {

// How many entries of the database name each item, by physical name.
using EntryCounts = std::unordered_map<std::string, int>;

// Reads every project's entry file from the root down and counts, for each item, the entries
// that name it, deleted ones included. Throws FormatError when an entry file cannot be read.
EntryCounts CountEntries(DataFolder& data);

// The files of a database that its entries still use: for the root and every item an entry names
// (live or deleted), its item file and the data file its header names. Nothing left beside a
// database (a journal, a record of files to remove) may make this program remove one of them.
class UsedFiles {
 public:
  // Counts the entries now; throws FormatError when an entry file cannot be read, since nobody
  // can tell then which files are used.
  explicit UsedFiles(DataFolder& data);

  // Whether `file`, a file of the data folder's letter folders, is used. A data file of a named
  // item whose header cannot be read counts as used.
  bool Uses(const std::filesystem::path& file);

 private:
  DataFolder& data_;
  EntryCounts counts_;
};

}  // namespace vss6
