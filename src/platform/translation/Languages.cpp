#include "platform/translation/Languages.h"

#include <cstdlib>
#include <string_view>

namespace translation {
namespace {

std::string Set(const std::function<const char*(const char*)>& variable, const char* name) {
  const char* value = variable(name);
  return value == nullptr ? std::string() : std::string(value);
}

// "zh_CN.UTF-8@latin" -> "zh_CN"; "C" and "POSIX" (with or without a code set) -> "".
std::string LanguageOf(std::string_view locale) {
  const std::size_t end = locale.find_first_of(".@");
  const std::string_view language = locale.substr(0, end);
  if (language == "C" || language == "POSIX") {
    return {};
  }
  return std::string(language);
}

}  // namespace

std::vector<std::string> MessageLanguages(const std::function<const char*(const char*)>& variable) {
  std::string locale;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    locale = Set(variable, name);
    if (!locale.empty()) {
      break;
    }
  }
  const std::string own = LanguageOf(locale);
  if (own.empty()) {
    return {};
  }
  std::vector<std::string> languages;
  const std::string list = Set(variable, "LANGUAGE");
  std::size_t start = 0;
  while (start <= list.size() && !list.empty()) {
    const std::size_t colon = std::min(list.find(':', start), list.size());
    const std::string language = LanguageOf(std::string_view(list).substr(start, colon - start));
    if (!language.empty()) {
      languages.push_back(language);
    }
    start = colon + 1;
  }
  languages.push_back(own);
  return languages;
}

std::vector<std::string> MessageLanguages() {
  return MessageLanguages([](const char* name) { return std::getenv(name); });
}

}  // namespace translation
