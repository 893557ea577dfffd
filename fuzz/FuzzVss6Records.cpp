// The SourceSafe 6 record parsers: any bytes, read as an entry file, an item file's header and
// records and a names.dat, give what they hold or a FormatError; never a crash, a hang or a read
// past the end (the sanitizer build of the target watches the last). Read as a destroy journal,
// they give nothing or a journal that is written back to the same text's meaning.
#include <cstdint>
#include <string_view>
#include <vector>

#include "engines/vss6/DestroyJournal.h"
#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/NamesFile.h"
#include "engines/vss6/Records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const vss6::Bytes bytes(data, size);
  try {
    for (const vss6::ProjectEntry& entry : vss6::ReadEntryFile(bytes, "fuzz.a")) {
      if (!vss6::IsPhysicalName(entry.physical)) {
        __builtin_trap();  // an entry is given only with a physical name
      }
    }
  } catch (const vss6::FormatError&) {
  }
  try {
    vss6::ReadItemHeader(bytes, "fuzz");
    vss6::ReadItemRecords(bytes, "fuzz");
  } catch (const vss6::FormatError&) {
  }
  try {
    const vss6::NamesFile names(std::vector<unsigned char>(data, data + size), "names.dat");
    // The name sets one after the other, as NAME fields point at them.
    std::size_t offset = vss6::ReadRecord(bytes, 0, "names.dat").End();
    while (offset < size) {
      names.Name(static_cast<std::uint32_t>(offset), vss6::kFileLongName);
      offset = vss6::ReadRecord(bytes, offset, "names.dat").End();
    }
  } catch (const vss6::FormatError&) {
  }
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const auto journal = vss6::ParseJournal(text)) {
    const auto again = vss6::ParseJournal(vss6::FormatJournal(*journal));
    if (!again || again->remove != journal->remove || again->temporaries != journal->temporaries ||
        again->record != journal->record || again->parent != journal->parent) {
      __builtin_trap();  // a journal must read back as it was written
    }
  }
  return 0;
}
