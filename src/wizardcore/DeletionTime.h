#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sourcecontrol/IVSSItem.h"

namespace wizardcore {

// A delete's time as lists and reports show it: "2017-02-21 07:55:02", the wall-clock time the
// database recorded (never converted between zones); empty when it is not known.
std::string FormatDeletionTime(const sourcecontrol::Deletion& deletion);

// The same for scripts: "2017-02-21T07:55:02" (ISO 8601 without a zone); empty when unknown.
std::string IsoDeletionTime(const sourcecontrol::Deletion& deletion);

// An ISO date ("2024-01-31") as the first second of that day in the wall-clock seconds deletes
// are recorded in; none for anything else (a day the month has not, other separators, a time).
std::optional<std::int64_t> ParseIsoDate(std::string_view text);

// Which deletes an age or user filter lets through: those before `before` (a time as
// ParseIsoDate gives) and by `by` (a user name in any letter case). A delete whose time or user
// is not known is let through by no filter that asks for them.
struct DeletionFilter {
  std::optional<std::int64_t> before;
  std::optional<std::string> by;

  bool Empty() const noexcept { return !before && !by; }
  bool Selects(const sourcecontrol::Deletion& deletion) const;
};

}  // namespace wizardcore
