#include "wizardcore/DeletedItemCollection.h"

#include <QString>

#include "errors/ErrorRecord.h"

namespace wizardcore {
namespace {

[[noreturn]] void Raise(int number, const char* description) {
  throw errors::ErrorRecord(number, "Scourwell", description);
}

}  // namespace

std::string DeletedItemCollection::Fold(const std::string& key) {
  return QString::fromStdString(key).toCaseFolded().toStdString();
}

void DeletedItemCollection::Add(std::shared_ptr<sourcecontrol::IVSSItem> item,
                                const std::string& key) {
  if (!items_.emplace(Fold(key), std::move(item)).second) {
    Raise(kKeyInUse, "This key is already associated with an element of this collection");
  }
}

std::shared_ptr<sourcecontrol::IVSSItem> DeletedItemCollection::Item(const std::string& key) const {
  const auto found = items_.find(Fold(key));
  if (found == items_.end()) {
    Raise(kInvalidArgument, "Invalid procedure call or argument");
  }
  return found->second;
}

void DeletedItemCollection::Remove(const std::string& key) {
  if (items_.erase(Fold(key)) == 0) {
    Raise(kInvalidArgument, "Invalid procedure call or argument");
  }
}

bool DeletedItemCollection::Holds(const std::string& key,
                                  const sourcecontrol::IVSSItem* item) const {
  const auto found = items_.find(Fold(key));
  return found != items_.end() && found->second.get() == item;
}

}  // namespace wizardcore
