#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engines/vss6/Layout.h"
#include "engines/vss6/Records.h"

namespace vss6 {

// The 40-byte name of an item: flags, the short name (often not the real one), and where the
// real names are in names.dat (0: nowhere).
struct NameField {
  std::uint16_t flags = 0;
  std::string shortName;  // bytes in the writer's code page
  std::uint32_t namesOffset = 0;
};

// The header of an item file: its magic, then the DH record.
struct ItemHeader {
  std::uint16_t type = 0;
  std::uint16_t logEntries = 0;
  NameField name;
  std::string dataExtension;  // ".A" or ".B", in either case
  std::uint32_t firstLog = 0;
  std::uint32_t lastLog = 0;
  std::uint32_t endOfFile = 0;
  // A project's:
  std::uint16_t totalEntries = 0;
  std::uint16_t subprojects = 0;
  // A file's:
  std::uint16_t fileFlags = 0;
  std::string branchSource;  // the physical name of the file it was branched from, or empty
  std::uint16_t branches = 0;
  std::uint16_t projectReferences = 0;
  std::string parentProject;  // a project's: its parent's physical name (empty for the root)
};

// One child of a project, as its entry file lists it.
struct ProjectEntry {
  std::uint16_t type = 0;
  std::uint16_t flags = 0;
  NameField name;
  std::uint16_t pinnedVersion = 0;
  std::string physical;          // 8 letters, upper case
  std::size_t recordOffset = 0;  // of its JP record in the entry file
  std::size_t recordEnd = 0;
  bool Deleted() const noexcept { return (flags & kDeletedFlag) != 0; }
};

NameField ReadNameField(Bytes bytes, std::size_t offset, std::string_view file);

// Reads the header of the item file whose bytes are `bytes`; `file` names it in errors.
ItemHeader ReadItemHeader(Bytes bytes, std::string_view file);

// The records of an item file after its header, each checked, to its end.
std::vector<Record> ReadItemRecords(Bytes bytes, std::string_view file);

// Reads a project's entry file: JP records from its start to its end.
std::vector<ProjectEntry> ReadEntryFile(Bytes bytes, std::string_view file);

// Whether `name` can be a physical name: 8 letters A to Z, in either case.
bool IsPhysicalName(std::string_view name) noexcept;

}  // namespace vss6
