// srcsafe.ini: any text parses or is refused; what parses answers every key without failing.
#include <cstdint>
#include <string_view>

#include "engines/common/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const auto ini = sourcesafe::IniFile::Parse(text)) {
    for (const char* key : {"Data_File", "Format_Version", "Data_Path", ""}) {
      if (const auto value = ini->Get(key)) {
        if (!value->empty() && (value->front() == ' ' || value->back() == ' ')) {
          __builtin_trap();  // values are trimmed
        }
      }
    }
  }
  return 0;
}
