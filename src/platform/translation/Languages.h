#pragma once

#include <functional>
#include <string>
#include <vector>

namespace translation {

// The languages the environment asks messages in, best first, as "zh_CN" or "de": the
// colon-separated LANGUAGE list, then the first of LC_ALL, LC_MESSAGES and LANG that is set,
// without its ".UTF-8" and "@modifier". As gettext does, LANGUAGE counts only while that locale
// is not C or POSIX, and a C or POSIX locale asks for no language (the source texts).
std::vector<std::string> MessageLanguages(const std::function<const char*(const char*)>& variable);

// The same, read from this process's environment.
std::vector<std::string> MessageLanguages();

}  // namespace translation
