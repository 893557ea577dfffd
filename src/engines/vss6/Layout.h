#pragma once

// Where everything lies in the files of a SourceSafe 6 database: record sizes, field offsets and
// flags, each named once here and used by name everywhere in the engine. Offsets of a record's
// fields are from the start of its body (past the 8-byte record header).

#include <cstddef>
#include <cstdint>

namespace vss6 {

// Every record: its body's length (4 bytes), a two-letter signature, a check value (2), the body.
inline constexpr std::size_t kRecordHeaderSize = 8;
inline constexpr std::size_t kRecordLengthAt = 0;  // of the record, not its body
inline constexpr std::size_t kRecordSignatureAt = 4;
inline constexpr std::size_t kRecordCheckAt = 6;

// The 32-byte magic text at the start of an item file and of um.dat.
inline constexpr std::size_t kMagicSize = 32;

// An item file's start: the magic, its type and format version, then its DH record.
inline constexpr std::size_t kItemTypeAt = 0x20;
inline constexpr std::size_t kItemVersionAt = 0x22;
inline constexpr std::size_t kHeaderRecordOffset = 0x34;  // of an item file's DH record
inline constexpr std::uint16_t kProjectType = 1;
inline constexpr std::uint16_t kFileType = 2;

// A 40-byte name field: flags, the short name, and where the real names lie in names.dat.
inline constexpr std::size_t kNameFieldSize = 40;
inline constexpr std::size_t kNameShortAt = 2;
inline constexpr std::size_t kNameShortSize = 34;
inline constexpr std::size_t kNameNamesOffsetAt = 36;

// The DH record's body: the header of an item.
inline constexpr std::size_t kHeaderBodySize = 356;
inline constexpr std::size_t kDhTypeAt = 0;
inline constexpr std::size_t kDhLogEntriesAt = 2;
inline constexpr std::size_t kDhNameAt = 4;
inline constexpr std::size_t kDhExtensionAt = 46;  // ".A" or ".B": 2 bytes
inline constexpr std::size_t kExtensionSize = 2;
inline constexpr std::size_t kDhFirstLogAt = 48;
inline constexpr std::size_t kDhLastLogAt = 52;
inline constexpr std::size_t kDhEndOfFileAt = 56;
// A file's:
inline constexpr std::size_t kDhFileFlagsAt = 80;
inline constexpr std::size_t kDhBranchSourceAt = 82;
inline constexpr std::size_t kDhBranchesAt = 100;
inline constexpr std::size_t kDhReferencesAt = 102;
// A project's:
inline constexpr std::size_t kDhParentAt = 340;
inline constexpr std::size_t kDhTotalEntriesAt = 352;
inline constexpr std::size_t kDhSubprojectsAt = 354;
// The bytes of an item file up to the end of its DH record.
inline constexpr std::size_t kItemHeaderBytes =
    kHeaderRecordOffset + kRecordHeaderSize + kHeaderBodySize;

// A file's flags in its DH record.
inline constexpr std::uint16_t kFileLocked = 0x01;
inline constexpr std::uint16_t kFileShared = 0x20;
inline constexpr std::uint16_t kFileCheckedOut = 0x40;

// A physical name: 8 letters, in fields of 8 bytes.
inline constexpr std::size_t kPhysicalSize = 8;

// A JP record's body: one child of a project, in its entry file.
inline constexpr std::size_t kEntryBodySize = 56;
inline constexpr std::size_t kJpTypeAt = 0;
inline constexpr std::size_t kJpFlagsAt = 2;
inline constexpr std::size_t kJpNameAt = 4;
inline constexpr std::size_t kJpPinnedAt = 44;
inline constexpr std::size_t kJpPhysicalAt = 46;
inline constexpr std::uint16_t kDeletedFlag = 0x01;  // of a project entry
inline constexpr std::uint16_t kSharedFlag = 0x08;   // of a project entry

// A PF record's body: a project that holds a file.
inline constexpr std::size_t kPfProjectAt = 4;

// Every log (EL) record's body: fixed fields, then the action's, then padding.
inline constexpr std::size_t kLogBodySize = 404;
inline constexpr std::size_t kLogFixedSize = 88;
inline constexpr std::size_t kLogPreviousAt = 0;  // the record before it
inline constexpr std::size_t kLogActionAt = 4;
inline constexpr std::size_t kLogRevisionAt = 6;
inline constexpr std::size_t kLogTimeAt = 8;
inline constexpr std::size_t kLogUserAt = 12;
inline constexpr std::size_t kLogUserSize = 32;   // NUL-terminated: 31 bytes of name at most
inline constexpr std::size_t kLogCommentAt = 76;  // end of the record when it has none
inline constexpr std::size_t kLogLabelCommentAt = 84;
// Where a child's NAME and physical name lie in a project log record about it.
inline constexpr std::size_t kLogChildName = kLogFixedSize;
inline constexpr std::size_t kLogChildPhysical = kLogFixedSize + kNameFieldSize;
// A destroy record has a word between the two.
inline constexpr std::size_t kDestroyWord = kLogFixedSize + kNameFieldSize;
inline constexpr std::size_t kDestroyPhysical = kDestroyWord + 2;

// um.dat: the magic, then a UU record for each user from this offset.
inline constexpr std::size_t kFirstUser = 0x7C;
inline constexpr std::size_t kUserBodySize = 56;
inline constexpr std::size_t kUserNameSize = 32;
inline constexpr std::size_t kUserPasswordAt = 32;
inline constexpr std::size_t kUserFlagsAt = 34;
inline constexpr std::uint16_t kReadOnlyFlag = 0x01;

// names.dat: an SN record is a count, then (kind, offset) pairs of 4 bytes, then the names.
inline constexpr std::size_t kNameSetCountAt = 0;
inline constexpr std::size_t kNameSetPairsAt = 4;
inline constexpr std::size_t kNameSetPairSize = 4;
inline constexpr std::size_t kNameSetPairOffsetAt = 2;  // of a pair: its name's offset
inline constexpr std::uint16_t kFileLongName = 2;
inline constexpr std::uint16_t kProjectLongName = 10;

}  // namespace vss6
