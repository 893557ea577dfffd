#pragma once

#include <QRegularExpression>
#include <string>

namespace wizardcore {

// Which entries the list shows, by a pattern the user types. `*` stands for any run of
// characters and `?` for one; every other character stands for itself; case does not count.
// A pattern without a wildcard finds names that contain it ("sak" finds "~sakA1.tmp"); one with a
// wildcard must match the whole name ("~sak*", "*.tmp"). A pattern with a "/" is matched against
// the whole spec instead of the last name ("$/Old/*"). An empty pattern shows everything.
class NameFilter {
 public:
  NameFilter() = default;
  explicit NameFilter(const std::string& pattern);

  bool Empty() const noexcept { return empty_; }
  bool Matches(const std::string& spec) const;

 private:
  bool empty_ = true;
  bool wholeSpec_ = false;
  QRegularExpression expression_;
};

}  // namespace wizardcore
