#include "wizardcore/DeletionTime.h"

#include <charconv>
#include <chrono>
#include <cstdio>

#include "platform/text/AsciiCase.h"

namespace wizardcore {
namespace {

// Seconds since 1970 of a wall-clock time, split into its calendar fields as written.
std::string Format(const sourcecontrol::Deletion& deletion, char between) {
  if (!deletion.time) {
    return {};
  }
  using namespace std::chrono;
  const sys_seconds at{seconds{*deletion.time}};
  const sys_days day = floor<days>(at);
  const year_month_day date{day};
  const hh_mm_ss<seconds> time{at - day};
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u%c%02d:%02d:%02d", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), between,
                static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()));
  return text;
}

std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count) {
  int value = 0;
  const char* first = text.data() + at;
  const char* last = first + count;
  for (const char* c = first; c != last; ++c) {
    if (*c < '0' || *c > '9') {
      return std::nullopt;  // from_chars would take a sign
    }
  }
  if (std::from_chars(first, last, value).ptr != last) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::string FormatDeletionTime(const sourcecontrol::Deletion& deletion) {
  return Format(deletion, ' ');
}

std::string IsoDeletionTime(const sourcecontrol::Deletion& deletion) {
  return Format(deletion, 'T');
}

std::optional<std::int64_t> ParseIsoDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
    return std::nullopt;
  }
  const std::optional<int> year = Digits(text, 0, 4);
  const std::optional<int> month = Digits(text, 5, 2);
  const std::optional<int> day = Digits(text, 8, 2);
  if (!year || !month || !day) {
    return std::nullopt;
  }
  using namespace std::chrono;
  const year_month_day date{std::chrono::year{*year},
                            std::chrono::month{static_cast<unsigned>(*month)},
                            std::chrono::day{static_cast<unsigned>(*day)}};
  if (!date.ok()) {
    return std::nullopt;
  }
  return duration_cast<seconds>(sys_days{date}.time_since_epoch()).count();
}

bool DeletionFilter::Selects(const sourcecontrol::Deletion& deletion) const {
  if (before && (!deletion.time || *deletion.time >= *before)) {
    return false;
  }
  if (by && (deletion.user.empty() || text::AsciiLower(deletion.user) != text::AsciiLower(*by))) {
    return false;
  }
  return true;
}

}  // namespace wizardcore
