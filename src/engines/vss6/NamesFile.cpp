#include "engines/vss6/NamesFile.h"

#include "engines/vss6/CodePage.h"
#include "engines/vss6/Layout.h"

namespace vss6 {

NamesFile::NamesFile(std::vector<unsigned char> bytes, std::string path)
    : bytes_(std::move(bytes)), path_(std::move(path)) {
  ReadRecord(bytes_, 0, "HN", path_);
}

std::optional<std::string> NamesFile::Name(std::uint32_t offset, std::uint16_t kind) const {
  if (bytes_.empty()) {
    return std::nullopt;
  }
  const Record set = ReadRecord(bytes_, offset, "SN", path_);
  const Bytes body = set.body;
  const std::uint16_t count = ReadU16(body, kNameSetCountAt, path_);
  const std::size_t names = kNameSetPairsAt + kNameSetPairSize * static_cast<std::size_t>(count);
  for (std::uint16_t i = 0; i < count; ++i) {
    if (ReadU16(body, kNameSetPairsAt + kNameSetPairSize * static_cast<std::size_t>(i), path_) !=
        kind) {
      continue;
    }
    const std::size_t start =
        names + ReadU16(body,
                        kNameSetPairsAt + kNameSetPairSize * static_cast<std::size_t>(i) +
                            kNameSetPairOffsetAt,
                        path_);
    if (start >= body.size()) {
      throw FormatError("'" + path_ + "' at offset " + std::to_string(offset) +
                        ": a name lies past the end of its name set");
    }
    return std::string(FieldText(body, start, body.size() - start, path_));
  }
  return std::nullopt;
}

std::string EntryName(const NameField& name, bool project, const NamesFile& names,
                      const CodePage& codePage) {
  std::string bytes = name.shortName;
  if (name.namesOffset != 0) {
    if (auto longName = names.Name(name.namesOffset, project ? kProjectLongName : kFileLongName)) {
      bytes = std::move(*longName);
    }
  }
  return codePage.ToUtf8(bytes);
}

}  // namespace vss6
