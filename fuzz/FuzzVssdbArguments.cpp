// vssdb's command line: words separated by NUL bytes; every line parses or is a usage error.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/vssdb/Arguments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> words;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\0', start), text.size());
    words.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  try {
    vssdb::ParseArguments(words);
  } catch (const vssdb::UsageError&) {
  }
  return 0;
}
