#include "engines/vss6/ItemFiles.h"

#include <algorithm>

#include "engines/vss6/Layout.h"
#include "platform/text/AsciiCase.h"

namespace vss6 {
namespace {

constexpr std::string_view kMagic = "SourceSafe@Microsoft";
constexpr std::uint16_t kFormatVersion = 6;

[[noreturn]] void Wrong(std::string_view file, const std::string& what) {
  throw FormatError("'" + std::string(file) + "' " + what);
}

}  // namespace

bool IsPhysicalName(std::string_view name) noexcept {
  return name.size() == kPhysicalSize && std::all_of(name.begin(), name.end(), text::IsAsciiLetter);
}

NameField ReadNameField(Bytes bytes, std::size_t offset, std::string_view file) {
  NameField name;
  name.flags = ReadU16(bytes, offset, file);
  name.shortName = std::string(FieldText(bytes, offset + kNameShortAt, kNameShortSize, file));
  name.namesOffset = ReadU32(bytes, offset + kNameNamesOffsetAt, file);
  return name;
}

ItemHeader ReadItemHeader(Bytes bytes, std::string_view file) {
  if (FieldText(bytes, 0, kMagicSize, file) != kMagic) {
    Wrong(file, "is not a SourceSafe item file (its first bytes are not the item file's magic)");
  }
  ItemHeader header;
  header.type = ReadU16(bytes, kItemTypeAt, file);
  if (header.type != kProjectType && header.type != kFileType) {
    Wrong(file, "names an item of unknown type " + std::to_string(header.type));
  }
  if (const std::uint16_t version = ReadU16(bytes, kItemVersionAt, file);
      version != kFormatVersion) {
    Wrong(file, "is an item file of format " + std::to_string(version) + ", not 6");
  }
  const Record dh = ReadRecord(bytes, kHeaderRecordOffset, "DH", file);
  if (dh.body.size() < kHeaderBodySize) {
    Wrong(file, "has a DH record of " + std::to_string(dh.body.size()) + " bytes, not " +
                    std::to_string(kHeaderBodySize));
  }
  const Bytes body = dh.body;
  if (ReadU16(body, kDhTypeAt, file) != header.type) {
    Wrong(file, "says it is of two types at once (file header and DH record differ)");
  }
  header.logEntries = ReadU16(body, kDhLogEntriesAt, file);
  header.name = ReadNameField(body, kDhNameAt, file);
  header.dataExtension =
      std::string(reinterpret_cast<const char*>(body.data() + kDhExtensionAt), kExtensionSize);
  header.firstLog = ReadU32(body, kDhFirstLogAt, file);
  header.lastLog = ReadU32(body, kDhLastLogAt, file);
  header.endOfFile = ReadU32(body, kDhEndOfFileAt, file);
  if (header.type == kProjectType) {
    header.totalEntries = ReadU16(body, kDhTotalEntriesAt, file);
    header.subprojects = ReadU16(body, kDhSubprojectsAt, file);
    header.parentProject = std::string(FieldText(body, kDhParentAt, kPhysicalSize, file));
  } else {
    header.fileFlags = ReadU16(body, kDhFileFlagsAt, file);
    header.branchSource = std::string(FieldText(body, kDhBranchSourceAt, kPhysicalSize, file));
    header.branches = ReadU16(body, kDhBranchesAt, file);
    header.projectReferences = ReadU16(body, kDhReferencesAt, file);
  }
  const std::string extension = header.dataExtension;
  if (extension.size() != 2 || extension[0] != '.' ||
      (text::AsciiUpper(extension[1]) != 'A' && text::AsciiUpper(extension[1]) != 'B')) {
    Wrong(file, "names its data file with the extension '" + extension + "', not .A or .B");
  }
  return header;
}

std::vector<Record> ReadItemRecords(Bytes bytes, std::string_view file) {
  std::vector<Record> records;
  std::size_t offset = ReadRecord(bytes, kHeaderRecordOffset, "DH", file).End();
  while (offset < bytes.size()) {
    records.push_back(ReadRecord(bytes, offset, file));
    offset = records.back().End();
  }
  return records;
}

std::vector<ProjectEntry> ReadEntryFile(Bytes bytes, std::string_view file) {
  std::vector<ProjectEntry> entries;
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    const Record jp = ReadRecord(bytes, offset, "JP", file);
    if (jp.body.size() < kEntryBodySize) {
      Wrong(file, "holds a JP record of " + std::to_string(jp.body.size()) + " bytes at offset " +
                      std::to_string(offset) + ", not " + std::to_string(kEntryBodySize));
    }
    ProjectEntry entry;
    entry.type = ReadU16(jp.body, kJpTypeAt, file);
    entry.flags = ReadU16(jp.body, kJpFlagsAt, file);
    entry.name = ReadNameField(jp.body, kJpNameAt, file);
    entry.pinnedVersion = ReadU16(jp.body, kJpPinnedAt, file);
    entry.physical = std::string(FieldText(jp.body, kJpPhysicalAt, kPhysicalSize, file));
    if ((entry.type != kProjectType && entry.type != kFileType) ||
        !IsPhysicalName(entry.physical)) {
      Wrong(file, "holds an entry at offset " + std::to_string(offset) +
                      " that names no item (type " + std::to_string(entry.type) +
                      ", physical name '" + entry.physical + "')");
    }
    entry.physical = text::AsciiUpper(std::move(entry.physical));
    entry.recordOffset = offset;
    entry.recordEnd = jp.End();
    entries.push_back(std::move(entry));
    offset = jp.End();
  }
  return entries;
}

}  // namespace vss6
