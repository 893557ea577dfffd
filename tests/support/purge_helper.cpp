// Purges every deleted item of a database the way the wizard does (a depth-first search, then
// the destroys from the bottom of the list up), so that a test can kill it at any moment.
#include <iostream>
#include <memory>
#include <vector>

#include "engines/factory/NewVSSDatabase.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"

namespace {

void Search(const std::shared_ptr<sourcecontrol::IVSSItem>& item,
            std::vector<std::shared_ptr<sourcecontrol::IVSSItem>>& deleted) {
  if (item->Deleted()) {
    deleted.push_back(item);
  }
  const auto children = item->Items(true);
  for (const std::shared_ptr<sourcecontrol::IVSSItem> child : *children) {
    Search(child, deleted);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::cerr << "usage: purge_helper DIR [grouped]\n";
    return 2;
  }
  const bool grouped = argc == 3;
  const auto database = sourcecontrol::NewVSSDatabase(argv[1]);
  database->Open(argv[1], "Admin", "");
  std::vector<std::shared_ptr<sourcecontrol::IVSSItem>> deleted;
  Search(database->VSSItem("$/", false), deleted);
  if (grouped) {
    database->BeginDestroyGroup({});
  }
  for (auto item = deleted.rbegin(); item != deleted.rend(); ++item) {
    (*item)->Destroy();
  }
  database->EndDestroyGroup();
  return 0;
}
