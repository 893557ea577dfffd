#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vss6 {

// Every breach of the consistency rules a SourceSafe 6 database keeps, each naming its file:
// the check value of every record (comment records exempt); in each item file, the log count,
// the last log offset and the end-of-file offset of its header against its records; in each
// project, the entry and subproject counts against its entry file, and the children its log
// adds, deletes or recovers against its entries (unless destroyed since); for each file, the
// projects its header and its parent-folder records name against the entries naming it, and
// its shared flag; and that no project holds two live entries whose names SourceSafe takes for
// one (letter case as the code page has it). Names in the faults are read in `codePage`. Reads
// only; empty when the database is sound. Throws FormatError when the folder holds no SourceSafe
// 6 data, std::invalid_argument for an unknown code page.
std::vector<std::string> CheckDatabase(const std::filesystem::path& dataFolder,
                                       const std::string& codePage = "CP1252");

}  // namespace vss6
