#include "sourcecontrol/Vss6Database.h"

#include <stdexcept>
#include <vector>

#include "errors/ErrorRecord.h"
#include "platform/sourcesafe/EngineError.h"
#include "platform/sourcesafe/Location.h"
#include "platform/sourcesafe/Vss6Errors.h"
#include "platform/vss6/Users.h"
#include "platform/vss6/Vss6Tree.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"
#include "sourcecontrol/Raising.h"

namespace sourcecontrol {
namespace {

using sourcesafe::ErrorCode;

[[noreturn]] void Raise(ErrorCode code, const std::string& description) {
  throw errors::ErrorRecord(static_cast<std::int32_t>(code), kEngineErrorSource, description);
}

// Runs a reader call, raising whatever fails as an error record with the engine's numbers.
template <class Call>
auto RaisingFromReader(Call&& call) {
  return Raising([&] { return sourcesafe::WithVss6Errors(call); });
}

class Vss6Item final : public IVSSItem {
 public:
  Vss6Item(std::shared_ptr<vss6::Vss6Tree> tree, vss6::TreeItem item)
      : tree_(std::move(tree)), item_(std::move(item)) {}

  bool Deleted() override { return item_.deleted; }
  std::string Spec() override { return item_.spec; }
  ItemType Type() override { return item_.project ? ItemType::Project : ItemType::File; }
  std::int64_t Size() override { return item_.size; }
  std::shared_ptr<IVSSItems> Items(bool includeDeleted) override;
  void Destroy() override {
    Raise(ErrorCode::kDestroyNotWritten,
          "'" + item_.spec +
              "' was not destroyed: destroying items of a SourceSafe 6 database is not written "
              "yet; nothing was changed");
  }

 private:
  std::shared_ptr<vss6::Vss6Tree> tree_;
  vss6::TreeItem item_;
};

class Vss6Items final : public IVSSItems {
 public:
  Vss6Items(std::shared_ptr<vss6::Vss6Tree> tree, std::vector<vss6::TreeItem> children)
      : tree_(std::move(tree)), children_(std::move(children)) {}

  int Count() override { return static_cast<int>(children_.size()); }
  std::shared_ptr<IVSSItem> Item(int index) override {
    if (index < 1 || index > Count()) {
      Raise(ErrorCode::kInvalidArgument, "There is no child number " + std::to_string(index));
    }
    return std::make_shared<Vss6Item>(tree_, children_[static_cast<std::size_t>(index - 1)]);
  }

 private:
  std::shared_ptr<vss6::Vss6Tree> tree_;
  std::vector<vss6::TreeItem> children_;
};

std::shared_ptr<IVSSItems> Vss6Item::Items(bool includeDeleted) {
  return RaisingFromReader([&] {
    std::vector<vss6::TreeItem> children = tree_->Children(item_);
    if (!includeDeleted) {
      std::erase_if(children, [](const vss6::TreeItem& child) { return child.deleted; });
    }
    return std::make_shared<Vss6Items>(tree_, std::move(children));
  });
}

}  // namespace

Vss6Database::Vss6Database() = default;
Vss6Database::~Vss6Database() = default;

void Vss6Database::Open(const std::string& iniPath, const std::string& userName,
                        const std::string& password) {
  tree_ = RaisingFromReader([&] {
    const auto data = sourcesafe::LocateSourceSafe6Data(iniPath, "/proc/self/mountinfo");
    if (!data) {
      Raise(ErrorCode::kNotADatabase, "'" + iniPath + "' is not a SourceSafe 6 database");
    }
    // The tree first: it says when the folder holds data of another format version.
    std::shared_ptr<vss6::Vss6Tree> tree;
    try {
      tree = std::make_shared<vss6::Vss6Tree>(*data, codePage_.empty() ? "CP1252" : codePage_);
    } catch (const std::invalid_argument& error) {
      Raise(ErrorCode::kInvalidArgument, error.what());
    }
    vss6::LogIn(vss6::ReadUsers(*data / "um.dat"), userName, password);
    return tree;
  });
}

std::shared_ptr<IVSSItem> Vss6Database::VSSItem(const std::string& spec, bool /*deleted*/) {
  if (!tree_) {
    Raise(ErrorCode::kNotOpen, "The database is not open");
  }
  if (spec != "$/" && spec != "$") {
    Raise(ErrorCode::kInvalidArgument,
          "Only the root project $/ of a SourceSafe 6 database can be named yet");
  }
  return RaisingFromReader([&] { return std::make_shared<Vss6Item>(tree_, tree_->Root()); });
}

bool Vss6Database::MayDestroy() {
  if (!tree_) {
    Raise(ErrorCode::kNotOpen, "The database is not open");
  }
  return false;  // until destroying is written
}

std::string Vss6Database::DestroyRefusal() {
  return "This is a SourceSafe 6 database: Scourwell lists its deleted items but cannot purge "
         "them yet.";
}

}  // namespace sourcecontrol
