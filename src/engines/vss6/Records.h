#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vss6 {

// A file of the database that is not as the format says: the description names the file and
// what is wrong, and where.
class FormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The folder holds the data of another format version than SourceSafe 6.
class VersionError : public FormatError {
 public:
  using FormatError::FormatError;
};

using Bytes = std::span<const unsigned char>;

// Little-endian numbers at `offset`; FormatError naming `file` when they lie past the end.
std::uint16_t ReadU16(Bytes bytes, std::size_t offset, std::string_view file);
std::uint32_t ReadU32(Bytes bytes, std::size_t offset, std::string_view file);

// The text of a fixed-size field: its bytes up to the first NUL.
std::string_view FieldText(Bytes bytes, std::size_t offset, std::size_t size,
                           std::string_view file);

// The check value of a record body: the reflected CRC-32 (polynomial 0xEDB88320) with the
// register starting at 0 and no final inversion, its upper half XORed into its lower half.
std::uint16_t CheckValue(Bytes body) noexcept;

// One record: an 8-byte header (body length, two-letter signature, check value), then the body.
struct Record {
  std::size_t offset = 0;  // of the header, in its file
  std::string_view signature;
  std::uint16_t check = 0;
  Bytes body;
  std::size_t End() const noexcept { return offset + 8 + body.size(); }
};

// The record at `offset` of `file`'s bytes. Throws FormatError when the header or the body runs
// past the end, and when the check value is wrong. Comment records ("MC") are written with 0
// and are not checked.
Record ReadRecord(Bytes bytes, std::size_t offset, std::string_view file);

// As ReadRecord, and the signature must be `expected`.
Record ReadRecord(Bytes bytes, std::size_t offset, std::string_view expected,
                  std::string_view file);

// Little-endian numbers written at `offset`, which must lie inside `bytes`.
void WriteU16(std::span<unsigned char> bytes, std::size_t offset, std::uint16_t value);
void WriteU32(std::span<unsigned char> bytes, std::size_t offset, std::uint32_t value);

// A whole record: the header for `body` with its length, `signature` and check value, then the
// body.
std::vector<unsigned char> MakeRecord(std::string_view signature, Bytes body);

// Recomputes the check value of the record whose header is at `offset` of `bytes`, after its
// body was changed in place.
void Reseal(std::span<unsigned char> bytes, std::size_t offset);

}  // namespace vss6
