#include "platform/shell/CommandLine.h"

namespace shell {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitArguments(std::string_view line) {
  std::vector<std::string> arguments;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && IsBlank(line[i])) {
      ++i;
    }
    if (i >= line.size()) {
      return arguments;
    }
    std::string argument;
    bool quoted = false;
    while (i < line.size() && (quoted || !IsBlank(line[i]))) {
      if (line[i] == '\\') {
        std::size_t backslashes = 0;
        while (i < line.size() && line[i] == '\\') {
          ++backslashes;
          ++i;
        }
        if (i < line.size() && line[i] == '"') {
          argument.append(backslashes / 2, '\\');
          if (backslashes % 2 == 1) {
            argument += '"';
            ++i;
          }
        } else {
          argument.append(backslashes, '\\');
        }
      } else if (line[i] == '"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          argument += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        argument += line[i++];
      }
    }
    arguments.push_back(std::move(argument));
  }
}

std::vector<ProgramCandidate> ProgramCandidates(std::string_view line) {
  std::size_t start = 0;
  while (start < line.size() && IsBlank(line[start])) {
    ++start;
  }
  line.remove_prefix(start);
  std::vector<ProgramCandidate> candidates;
  if (line.empty()) {
    return candidates;
  }
  if (line.front() == '"') {
    const std::size_t close = line.find('"', 1);
    const std::size_t end = close == std::string_view::npos ? line.size() : close;
    const std::string_view rest = close == std::string_view::npos ? "" : line.substr(close + 1);
    candidates.push_back({std::string(line.substr(1, end - 1)), std::string(rest)});
    return candidates;
  }
  for (std::size_t i = 0; i <= line.size(); ++i) {
    if (i == line.size() || IsBlank(line[i])) {
      if (i > 0 && !IsBlank(line[i - 1])) {
        candidates.push_back(
            {std::string(line.substr(0, i)), std::string(i < line.size() ? line.substr(i) : "")});
      }
    }
  }
  return candidates;
}

}  // namespace shell
