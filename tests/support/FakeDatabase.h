#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "errors/ErrorRecord.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"

namespace testing_support {

// An item of a database made up in a test, for failures the engine does not make. A project
// is an item with children or made with `project`; each hook, when set, runs first.
class FakeItem : public sourcecontrol::IVSSItem {
 public:
  FakeItem(std::string spec, bool deleted, std::int64_t size = 0, bool project = false)
      : spec_(std::move(spec)), deleted_(deleted), size_(size), project_(project) {}

  bool Deleted() override {
    if (onDeleted) {
      onDeleted();
    }
    return deleted_;
  }
  std::string Spec() override {
    if (onSpec) {
      onSpec();
    }
    return spec_;
  }
  sourcecontrol::ItemType Type() override {
    return project_ || !children.empty() ? sourcecontrol::ItemType::Project
                                         : sourcecontrol::ItemType::File;
  }
  std::int64_t Size() override { return size_; }
  std::shared_ptr<sourcecontrol::IVSSItems> Items(bool) override;
  void Destroy() override {
    if (refuseDestroy) {
      throw errors::ErrorRecord(-2147166571, "SourceSafe", "refused " + spec_);
    }
    ++destroyed;
  }
  void Recover() override {
    if (refuseRecover) {
      throw errors::ErrorRecord(-2147164403, "SourceSafe", "cannot recover " + spec_);
    }
    deleted_ = false;
    ++recovered;
  }
  std::vector<unsigned char> Content() override { return {content.begin(), content.end()}; }
  std::string DestroyRefusal() override {
    if (refusalFails) {
      throw errors::ErrorRecord(-2147166571, "SourceSafe", "cannot tell " + spec_);
    }
    return refusal;
  }

  std::vector<std::shared_ptr<FakeItem>> children;
  std::function<void()> onDeleted;
  std::function<void()> onSpec;
  std::function<void()> onItems;
  bool refuseDestroy = false;
  std::string refusal;  // what DestroyRefusal says
  std::string content;  // what Content gives
  bool refusalFails = false;
  int destroyed = 0;
  bool refuseRecover = false;
  int recovered = 0;

 private:
  std::string spec_;
  bool deleted_;
  std::int64_t size_;
  bool project_;
};

class FakeItems : public sourcecontrol::IVSSItems {
 public:
  explicit FakeItems(std::vector<std::shared_ptr<FakeItem>> children)
      : children_(std::move(children)) {}
  int Count() override { return static_cast<int>(children_.size()); }
  std::shared_ptr<sourcecontrol::IVSSItem> Item(int index) override {
    return children_.at(static_cast<std::size_t>(index - 1));
  }

 private:
  std::vector<std::shared_ptr<FakeItem>> children_;
};

inline std::shared_ptr<sourcecontrol::IVSSItems> FakeItem::Items(bool) {
  if (onItems) {
    onItems();
  }
  return std::make_shared<FakeItems>(children);
}

inline std::shared_ptr<FakeItem> Fake(const char* spec, bool deleted, std::int64_t size = 0,
                                      bool project = false) {
  return std::make_shared<FakeItem>(spec, deleted, size, project);
}

class FakeDatabase : public sourcecontrol::IVSSDatabase {
 public:
  void Open(const std::string&, const std::string&, const std::string&) override {}
  std::shared_ptr<sourcecontrol::IVSSItem> VSSItem(const std::string&, bool) override {
    return root;
  }
  bool MayDestroy() override { return mayDestroy; }
  std::vector<std::string> Check(const std::string&) override { return {}; }

  std::shared_ptr<FakeItem> root = std::make_shared<FakeItem>("$/", false, 0, true);
  bool mayDestroy = true;
};

}  // namespace testing_support
