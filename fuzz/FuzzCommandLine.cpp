// The Windows command-line rules: splitting never fails, and every program candidate is a
// prefix of the line whose rest follows it.
#include <cstdint>
#include <string>

#include "platform/shell/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const auto arguments = shell::SplitArguments(line);
  for (const std::string& argument : arguments) {
    if (argument.size() > line.size()) {
      __builtin_trap();  // an argument is never longer than its line
    }
  }
  for (const auto& candidate : shell::ProgramCandidates(line)) {
    if (candidate.program.size() + candidate.rest.size() > line.size()) {
      __builtin_trap();
    }
  }
  return 0;
}
