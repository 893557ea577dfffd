#include "engines/vss6/Records.h"

#include <algorithm>
#include <array>

#include "engines/vss6/Layout.h"

namespace vss6 {
namespace {

std::string Where(std::string_view file, std::size_t offset) {
  return "'" + std::string(file) + "' at offset " + std::to_string(offset);
}

void Require(Bytes bytes, std::size_t offset, std::size_t size, std::string_view file) {
  if (offset > bytes.size() || size > bytes.size() - offset) {
    throw FormatError(Where(file, offset) + ": the file ends " +
                      std::to_string(offset + size - bytes.size()) +
                      " bytes too soon (it is cut off or damaged)");
  }
}

constexpr std::array<std::uint32_t, 256> MakeTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t value = i;
    for (int bit = 0; bit < 8; ++bit) {
      value = (value & 1) != 0 ? (value >> 1) ^ 0xEDB88320u : value >> 1;
    }
    table[i] = value;
  }
  return table;
}

constexpr std::array<std::uint32_t, 256> kTable = MakeTable();

}  // namespace

std::uint16_t ReadU16(Bytes bytes, std::size_t offset, std::string_view file) {
  Require(bytes, offset, 2, file);
  return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::uint32_t ReadU32(Bytes bytes, std::size_t offset, std::string_view file) {
  Require(bytes, offset, 4, file);
  return static_cast<std::uint32_t>(bytes[offset]) |
         (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
         (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
         (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

std::string_view FieldText(Bytes bytes, std::size_t offset, std::size_t size,
                           std::string_view file) {
  Require(bytes, offset, size, file);
  const auto* start = reinterpret_cast<const char*>(bytes.data() + offset);
  const std::string_view field(start, size);
  return field.substr(0, field.find('\0'));
}

std::uint16_t CheckValue(Bytes body) noexcept {
  std::uint32_t crc = 0;
  for (const unsigned char byte : body) {
    crc = kTable[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  }
  return static_cast<std::uint16_t>(crc ^ (crc >> 16));
}

Record ReadRecord(Bytes bytes, std::size_t offset, std::string_view file) {
  Require(bytes, offset, kRecordHeaderSize, file);
  Record record;
  record.offset = offset;
  const std::uint32_t length = ReadU32(bytes, offset + kRecordLengthAt, file);
  record.signature = std::string_view(
      reinterpret_cast<const char*>(bytes.data() + offset + kRecordSignatureAt), 2);
  record.check = ReadU16(bytes, offset + kRecordCheckAt, file);
  if (length > bytes.size() - offset - kRecordHeaderSize) {
    throw FormatError(Where(file, offset) + ": the " + std::string(record.signature) +
                      " record's body of " + std::to_string(length) +
                      " bytes runs past the end of the file (it is cut off or damaged)");
  }
  record.body = bytes.subspan(offset + kRecordHeaderSize, length);
  if (record.signature != "MC" && CheckValue(record.body) != record.check) {
    throw FormatError(Where(file, offset) + ": the " + std::string(record.signature) +
                      " record's check value is wrong (the record is damaged)");
  }
  return record;
}

Record ReadRecord(Bytes bytes, std::size_t offset, std::string_view expected,
                  std::string_view file) {
  Record record = ReadRecord(bytes, offset, file);
  if (record.signature != expected) {
    throw FormatError(Where(file, offset) + ": a " + std::string(expected) +
                      " record was expected, not '" + std::string(record.signature) + "'");
  }
  return record;
}

void WriteU16(std::span<unsigned char> bytes, std::size_t offset, std::uint16_t value) {
  bytes[offset] = static_cast<unsigned char>(value & 0xFF);
  bytes[offset + 1] = static_cast<unsigned char>(value >> 8);
}

void WriteU32(std::span<unsigned char> bytes, std::size_t offset, std::uint32_t value) {
  WriteU16(bytes, offset, static_cast<std::uint16_t>(value & 0xFFFF));
  WriteU16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::vector<unsigned char> MakeRecord(std::string_view signature, Bytes body) {
  std::vector<unsigned char> record(kRecordHeaderSize + body.size());
  WriteU32(record, kRecordLengthAt, static_cast<std::uint32_t>(body.size()));
  record[kRecordSignatureAt] = static_cast<unsigned char>(signature.at(0));
  record[kRecordSignatureAt + 1] = static_cast<unsigned char>(signature.at(1));
  WriteU16(record, kRecordCheckAt, signature == "MC" ? 0 : CheckValue(body));
  std::copy(body.begin(), body.end(), record.begin() + kRecordHeaderSize);
  return record;
}

void Reseal(std::span<unsigned char> bytes, std::size_t offset) {
  const std::uint32_t size = ReadU32(bytes, offset + kRecordLengthAt, "a record being written");
  if (size > bytes.size() - offset - kRecordHeaderSize) {
    throw FormatError("A record being written runs past its file's end");
  }
  WriteU16(bytes, offset + kRecordCheckAt,
           CheckValue(Bytes(bytes.data() + offset + kRecordHeaderSize, size)));
}

}  // namespace vss6
