#pragma once

#include <filesystem>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engines/vss6/DataFolder.h"
#include "engines/vss6/ItemFiles.h"

namespace vss6 {

// How many entries of the database name each item, by physical name.
using EntryCounts = std::unordered_map<std::string, int>;

// For each item, how many entries of the database name it, deleted ones included, counted a
// project at a time: the projects a listing reads are counted as it reads them (Count), the others
// when the whole count is first needed (Complete), so that a session reads each entry file for it
// once at most.
class EntryTally {
 public:
  // The entries of `project` as read; a project counted already is not counted again (its later
  // changes are this session's own, which Taken follows).
  void Count(const std::string& project, const std::vector<ProjectEntry>& entries);
  // Reads and counts every project not counted yet, from the root down. Throws FormatError when an
  // entry file cannot be read.
  const EntryCounts& Complete(DataFolder& data);
  // After a destroy: the items it took are named once less.
  void Taken(const std::vector<std::string>& items);

 private:
  EntryCounts counts_;
  std::unordered_set<std::string> counted_;  // projects whose entries are in the counts
  std::vector<std::string> uncounted_;       // child projects met, perhaps not counted yet
  bool complete_ = false;
};

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
