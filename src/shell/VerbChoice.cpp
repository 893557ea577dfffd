#include "shell/VerbChoice.h"

#include <algorithm>
#include <optional>

#include "platform/text/AsciiCase.h"

namespace shell {
namespace {

constexpr std::int32_t kSuccess = 0;
constexpr std::int32_t kNoMoreItems = 259;

std::string Lower(std::string text) { return text::AsciiLower(std::move(text)); }

}  // namespace

std::string ChooseVerb(const VerbReader& read) {
  std::optional<std::string> candidate;  // the first name listed
  int unreadable = 0;
  for (std::uint32_t index = 0; unreadable < kUnreadableVerbsInARow; ++index) {
    std::string name;
    const std::int32_t result = read(index, name);
    if (result == kNoMoreItems) {
      break;
    }
    if (result != kSuccess) {
      ++unreadable;
      continue;
    }
    unreadable = 0;
    const std::string lower = Lower(name);
    if (lower == "&open" || lower == "open") {
      return "open";
    }
    if (!candidate) {
      candidate = name;
    }
  }
  return candidate.value_or("");
}

}  // namespace shell
