// regtool's DATA for each type: it converts or is refused as bad input.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "tools/regtool/RegTool.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const registry::DWORD types[] = {registry::REG_SZ, registry::REG_DWORD, registry::REG_EXPAND_SZ,
                                   registry::REG_MULTI_SZ, registry::REG_BINARY};
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  try {
    regtool::ParseData(types[data[0] % 5], text);
  } catch (const std::invalid_argument&) {
  }
  return 0;
}
