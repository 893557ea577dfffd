#pragma once

#include <map>
#include <memory>
#include <string>

namespace sourcecontrol {
class IVSSItem;
}

namespace wizardcore {

// The keyed collection of the items a search listed, by spec. Keys compare without regard to
// case, as specs do in the database. Failures raise errors::ErrorRecord with the numbers of the
// collection the window was written against.
class DeletedItemCollection {
 public:
  static constexpr int kKeyInUse = 457;       // "This key is already associated with ..."
  static constexpr int kInvalidArgument = 5;  // "Invalid procedure call or argument"

  void Add(std::shared_ptr<sourcecontrol::IVSSItem> item, const std::string& key);
  std::shared_ptr<sourcecontrol::IVSSItem> Item(const std::string& key) const;
  void Remove(const std::string& key);
  // True when `item` is the one stored under `key`.
  bool Holds(const std::string& key, const sourcecontrol::IVSSItem* item) const;
  int Count() const noexcept { return static_cast<int>(items_.size()); }

 private:
  static std::string Fold(const std::string& key);
  std::map<std::string, std::shared_ptr<sourcecontrol::IVSSItem>> items_;  // by folded key
};

}  // namespace wizardcore
