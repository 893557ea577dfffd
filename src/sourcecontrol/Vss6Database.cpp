#include "sourcecontrol/Vss6Database.h"

#include <stdexcept>
#include <vector>

#include "errors/ErrorRecord.h"
#include "platform/sourcesafe/EngineError.h"
#include "platform/sourcesafe/Location.h"
#include "platform/sourcesafe/Vss6Errors.h"
#include "platform/vss6/Destroy.h"
#include "platform/vss6/DestroyJournal.h"
#include "platform/vss6/Users.h"
#include "platform/vss6/Vss6Tree.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"
#include "sourcecontrol/Raising.h"

namespace sourcecontrol {

// What the items of an open database share: the tree, where the files are, and who logged in.
struct Vss6Session {
  std::shared_ptr<vss6::Vss6Tree> tree;
  sourcesafe::SourceSafe6Location location;
  vss6::User user;
};

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
  Vss6Item(std::shared_ptr<Vss6Session> session, vss6::TreeItem item)
      : session_(std::move(session)), item_(std::move(item)) {}

  bool Deleted() override { return item_.deleted; }
  std::string Spec() override {
    return RaisingFromReader([&] { return session_->tree->SpecOf(item_); });
  }
  ItemType Type() override { return item_.project ? ItemType::Project : ItemType::File; }
  std::int64_t Size() override {
    if (item_.size == vss6::kUnknownSize) {
      Raise(ErrorCode::kDamaged, "The content file of '" + Spec() +
                                     "' is missing or cannot be read; vssdb check says why");
    }
    return item_.size;
  }
  std::shared_ptr<IVSSItems> Items(bool includeDeleted) override;
  void Destroy() override;

 private:
  std::shared_ptr<Vss6Session> session_;
  vss6::TreeItem item_;
};

class Vss6Items final : public IVSSItems {
 public:
  Vss6Items(std::shared_ptr<Vss6Session> session, std::vector<vss6::TreeItem> children)
      : session_(std::move(session)), children_(std::move(children)) {}

  int Count() override { return static_cast<int>(children_.size()); }
  std::shared_ptr<IVSSItem> Item(int index) override {
    if (index < 1 || index > Count()) {
      Raise(ErrorCode::kInvalidArgument, "There is no child number " + std::to_string(index));
    }
    return std::make_shared<Vss6Item>(session_, children_[static_cast<std::size_t>(index - 1)]);
  }

 private:
  std::shared_ptr<Vss6Session> session_;
  std::vector<vss6::TreeItem> children_;
};

std::shared_ptr<IVSSItems> Vss6Item::Items(bool includeDeleted) {
  return RaisingFromReader([&] {
    std::vector<vss6::TreeItem> children = session_->tree->Children(item_);
    if (!includeDeleted) {
      std::erase_if(children, [](const vss6::TreeItem& child) { return child.deleted; });
    }
    return std::make_shared<Vss6Items>(session_, std::move(children));
  });
}

void Vss6Item::Destroy() {
  if (item_.parent.empty()) {
    Raise(ErrorCode::kInvalidArgument, "The root project $/ cannot be destroyed");
  }
  RaisingFromReader([&] {
    vss6::Vss6Tree& tree = *session_->tree;
    const vss6::DestroyRequest request = vss6::RequestFor(
        tree, item_, vss6::JournalPath(session_->location.folder), session_->user.name);
    const vss6::DestroyDone done = vss6::DestroyEntry(request);
    tree.NoteDestroyed(item_.parent, done.parent, done.projects, done.items);
    if (!done.leftovers.empty()) {
      Raise(ErrorCode::kDestroyedWithLeftovers, vss6::DescribeLeftovers(request.spec, done));
    }
  });
}

}  // namespace

Vss6Database::Vss6Database() = default;
Vss6Database::~Vss6Database() = default;

void Vss6Database::Open(const std::string& iniPath, const std::string& userName,
                        const std::string& password) {
  session_ = RaisingFromReader([&] {
    const auto location = sourcesafe::LocateSourceSafe6(iniPath, "/proc/self/mountinfo");
    if (!location) {
      Raise(ErrorCode::kNotADatabase, "'" + iniPath + "' is not a SourceSafe 6 database");
    }
    auto session = std::make_shared<Vss6Session>();
    session->location = *location;
    // The tree first: it says when the folder holds data of another format version.
    try {
      session->tree = std::make_shared<vss6::Vss6Tree>(location->data,
                                                       codePage_.empty() ? "CP1252" : codePage_);
    } catch (const std::invalid_argument& error) {
      Raise(ErrorCode::kInvalidArgument, error.what());
    }
    session->user =
        vss6::LogIn(session->tree->Users(), userName, password, session->tree->NameCodePage());
    // A destroy cut off by a crash is finished or undone before anything is listed.
    vss6::FinishInterruptedDestroy(vss6::JournalPath(location->folder), location->data);
    return session;
  });
}

std::shared_ptr<IVSSItem> Vss6Database::VSSItem(const std::string& spec, bool /*deleted*/) {
  if (!session_) {
    Raise(ErrorCode::kNotOpen, "The database is not open");
  }
  if (spec != "$/" && spec != "$") {
    Raise(ErrorCode::kInvalidArgument,
          "Only the root project $/ of a SourceSafe 6 database can be named yet");
  }
  return RaisingFromReader(
      [&] { return std::make_shared<Vss6Item>(session_, session_->tree->Root()); });
}

bool Vss6Database::MayDestroy() {
  if (!session_) {
    Raise(ErrorCode::kNotOpen, "The database is not open");
  }
  return vss6::MayDestroy(session_->user, session_->location.projectSecurity);
}

}  // namespace sourcecontrol
