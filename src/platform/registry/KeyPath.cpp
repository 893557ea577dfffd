#include "platform/registry/KeyPath.h"

#include <algorithm>

namespace registry {

LONG SplitKeyPath(const std::string& path, std::vector<std::string>* names) {
  constexpr std::size_t kMaxKeyNameLength = 255;
  names->clear();
  if (!path.empty() && path.front() == '\\') {
    return ERROR_BAD_PATHNAME;
  }
  std::string rest = path;
  if (!rest.empty() && rest.back() == '\\') {
    rest.pop_back();
  }
  std::size_t start = 0;
  while (start <= rest.size() && !rest.empty()) {
    const std::size_t end = std::min(rest.find('\\', start), rest.size());
    const std::string name = rest.substr(start, end - start);
    if (name.empty() || name.size() > kMaxKeyNameLength) {
      return ERROR_INVALID_PARAMETER;
    }
    names->push_back(name);
    start = end + 1;
  }
  return ERROR_SUCCESS;
}

}  // namespace registry
