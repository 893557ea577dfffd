#include "engines/common/IniFile.h"

#include "platform/text/AsciiCase.h"

namespace sourcesafe {
namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

std::string Lower(std::string_view text) { return text::AsciiLower(std::string(text)); }

}  // namespace

std::optional<IniFile> IniFile::Parse(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) {
    return std::nullopt;
  }
  IniFile ini;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') {
      continue;
    }
    if (line.front() == '[') {
      if (line.back() != ']') {
        return std::nullopt;
      }
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || Trim(line.substr(0, equals)).empty()) {
      return std::nullopt;
    }
    ini.values_[Lower(Trim(line.substr(0, equals)))] = std::string(Trim(line.substr(equals + 1)));
  }
  return ini;
}

std::optional<std::string> IniFile::Get(std::string_view key) const {
  const auto found = values_.find(Lower(key));
  if (found == values_.end()) {
    return std::nullopt;
  }
  return found->second;
}

std::vector<std::string> IniFile::KeysContaining(std::string_view part) const {
  std::vector<std::string> keys;
  for (const auto& [key, value] : values_) {
    if (key.find(part) != std::string::npos) {
      keys.push_back(key);
    }
  }
  return keys;
}

}  // namespace sourcesafe
