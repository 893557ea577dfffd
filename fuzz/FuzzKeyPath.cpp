// Registry key paths, as the registry calls and regtool read them.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry/KeyPath.h"
#include "tools/regtool/RegTool.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> names;
  if (registry::SplitKeyPath(path, &names) == registry::ERROR_SUCCESS) {
    for (const std::string& name : names) {
      if (name.empty() || name.size() > 255 || name.find('\\') != std::string::npos) {
        __builtin_trap();
      }
    }
  }
  regtool::ParseKeyPath(path);
  return 0;
}
