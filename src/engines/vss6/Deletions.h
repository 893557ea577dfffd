#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engines/vss6/Records.h"

namespace vss6 {

class CodePage;

// A delete as a project's log records it: its time, in seconds since 1970 of the local
// wall-clock time the database was written in (not UTC), and its user's name in UTF-8.
struct DeletionSeen {
  std::int64_t time = 0;
  std::string user;
};

// The last DeleteFile or DeleteProject record naming each child in the records of a project's
// item file, by the child's physical name in upper case. Throws FormatError for a log record
// too short for its fields.
std::unordered_map<std::string, DeletionSeen> LastDeletions(const std::vector<Record>& records,
                                                            std::string_view file,
                                                            const CodePage& codePage);

}  // namespace vss6
