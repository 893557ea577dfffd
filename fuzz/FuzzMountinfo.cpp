// UNC resolution through /proc/self/mountinfo: the first line is the UNC path, the rest the
// mount table. A path resolves below a mount point or fails with an engine error.
#include <cstdint>
#include <string>

#include "engines/common/EngineError.h"
#include "engines/common/UncPath.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::size_t newline = text.find('\n');
  const std::string unc = text.substr(0, newline);
  const std::string mountinfo = newline == std::string::npos ? "" : text.substr(newline + 1);
  sourcesafe::IsUncPath(unc);
  try {
    sourcesafe::ResolveUncPath(unc, mountinfo);
  } catch (const sourcesafe::EngineError&) {
  }
  return 0;
}
