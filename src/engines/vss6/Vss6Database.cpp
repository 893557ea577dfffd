#include "engines/vss6/Vss6Database.h"

#include <stdexcept>
#include <vector>

#include "engines/common/EngineError.h"
#include "engines/common/Location.h"
#include "engines/common/Raising.h"
#include "engines/vss6/Destroy.h"
#include "engines/vss6/DestroyGroup.h"
#include "engines/vss6/DestroyJournal.h"
#include "engines/vss6/Records.h"
#include "engines/vss6/Recover.h"
#include "engines/vss6/Users.h"
#include "engines/vss6/Vss6Check.h"
#include "engines/vss6/Vss6Errors.h"
#include "engines/vss6/Vss6Tree.h"
#include "errors/ErrorRecord.h"
#include "platform/text/AsciiCase.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"

namespace vss6 {

// What the items of an open database share: the tree, where the files are, and who logged in.
struct Vss6Session {
  std::shared_ptr<vss6::Vss6Tree> tree;
  sourcesafe::SourceSafe6Location location;
  vss6::User user;
  std::unique_ptr<vss6::DestroyGroup> group;  // while a purge writes its destroys together
};

using sourcecontrol::ItemType;
using sourcecontrol::IVSSItem;
using sourcecontrol::IVSSItems;
using sourcesafe::kEngineErrorSource;
using sourcesafe::Raising;

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
  std::vector<unsigned char> Content() override {
    if (item_.project) {
      return {};
    }
    return RaisingFromReader([&] { return session_->tree->ContentOf(item_); });
  }
  void Destroy() override;
  std::string DestroyRefusal() override;
  void Recover() override;
  std::int64_t DiskSize() override {
    return RaisingFromReader([&] { return session_->tree->DiskSizeOf(item_); });
  }
  sourcecontrol::Deletion DeletedBy() override {
    if (!item_.deleted || !item_.deletion) {
      return {};
    }
    return {item_.deletion->time, item_.deletion->user};
  }
  std::vector<sourcecontrol::OwnFile> OwnFiles() override {
    return RaisingFromReader([&] {
      std::vector<sourcecontrol::OwnFile> files;
      for (auto& [name, bytes] : session_->tree->OwnFilesOf(item_)) {
        files.push_back({std::move(name), std::move(bytes)});
      }
      return files;
    });
  }

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

// The item that `spec` names: each name compared without regard to ASCII case, a live item before
// a deleted one, and with `deleted` true the only deleted one when no live one has the name.
vss6::TreeItem Find(vss6::Vss6Tree& tree, const std::string& spec, bool deleted) {
  if (spec != "$" && spec.rfind("$/", 0) != 0) {
    Raise(ErrorCode::kInvalidName,
          "'" + spec + "' is not a path of the database: it starts with $/");
  }
  vss6::TreeItem item = tree.Root();
  std::size_t at = 2;
  while (at < spec.size()) {
    std::size_t slash = spec.find('/', at);
    if (slash == std::string::npos) {
      slash = spec.size();
    }
    const std::string name = spec.substr(at, slash - at);
    at = slash + 1;
    if (name.empty()) {
      continue;
    }
    const bool last = at >= spec.size();
    std::vector<vss6::TreeItem> live;
    std::vector<vss6::TreeItem> gone;
    for (vss6::TreeItem& child : tree.Children(item)) {
      if (text::AsciiEqualNoCase(child.name, name) && (last || child.project)) {
        (child.deleted ? gone : live).push_back(std::move(child));
      }
    }
    if (!live.empty()) {
      item = std::move(live.front());
    } else if (deleted && gone.size() == 1) {
      item = std::move(gone.front());
    } else if (deleted && gone.size() > 1) {
      Raise(ErrorCode::kAmbiguousSpec,
            std::to_string(gone.size()) + " deleted items are named '" + spec + "'");
    } else {
      Raise(ErrorCode::kItemNotFound, "No item '" + spec + "' in the database");
    }
  }
  return item;
}

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
  const Vss6Session& session = *session_;
  if (!vss6::MayDestroy(session.user, session.location.projectSecurity)) {
    Raise(ErrorCode::kAccessDenied,
          "User '" + session.tree->NameCodePage().ToUtf8(session.user.name) +
              "' may not destroy items of this database" +
              (session.user.readOnly ? " (a read-only user)"
               : session.location.ini.empty()
                   ? " (without its srcsafe.ini, project security is taken to be on: only Admin "
                     "may)"
                   : " (project security is on: only Admin may)"));
  }
  RaisingFromReader([&] {
    vss6::Vss6Tree& tree = *session_->tree;
    vss6::DestroyRequest request = vss6::RequestFor(
        tree, item_, vss6::JournalPath(session_->location.folder), session_->user.name);
    if (session_->group) {
      try {
        session_->group->Add(std::move(request));
      } catch (const vss6::GroupNotWritten& error) {
        Raise(ErrorCode::kDestroysNotSaved, error.what());
      }
      return;
    }
    const vss6::DestroyDone done = vss6::DestroyEntry(request);
    tree.NoteDestroyed(item_.parent, done.parent, done.projects, done.items);
    if (vss6::LeftSomething(done)) {
      Raise(ErrorCode::kDestroyedWithLeftovers, vss6::DescribeLeftovers(request.spec, done));
    }
  });
}

void Vss6Item::Recover() {
  if (item_.parent.empty() || !item_.deleted) {
    Raise(ErrorCode::kItemNotDeleted, "'" + Spec() + "' is not deleted");
  }
  const Vss6Session& session = *session_;
  if (!vss6::MayDestroy(session.user, session.location.projectSecurity)) {
    Raise(ErrorCode::kAccessDenied,
          "User '" + session.tree->NameCodePage().ToUtf8(session.user.name) +
              "' may not recover items of this database" +
              (session.user.readOnly ? " (a read-only user)" : " (only Admin may)"));
  }
  if (const std::string above = session.tree->DeletedProjectAbove(item_); !above.empty()) {
    Raise(ErrorCode::kDestroyNotWritten,
          "'" + Spec() + "' lies in the deleted project '" + above +
              "', where it would stay out of sight; recover the project first (with SourceSafe's "
              "own tools: Scourwell does not recover projects of a SourceSafe 6 database)");
  }
  RaisingFromReader([&] {
    vss6::Vss6Tree& tree = *session_->tree;
    const vss6::RecoverRequest request = vss6::EntryRequestFor(
        tree, item_, vss6::JournalPath(session_->location.folder), session_->user.name);
    tree.NoteWritten(item_.parent, vss6::RecoverEntry(request));
    item_.deleted = false;
    item_.entryFlags = static_cast<std::uint16_t>(item_.entryFlags & ~vss6::kDeletedFlag);
  });
}

std::string Vss6Item::DestroyRefusal() {
  if (item_.parent.empty()) {
    return "the root project";
  }
  return RaisingFromReader([&] {
    const std::optional<vss6::DestroyRefused> refused = vss6::WhyNotDestroy(vss6::RequestFor(
        *session_->tree, item_, vss6::JournalPath(session_->location.folder), session_->user.name));
    return refused ? refused->Reason() : std::string();
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
    // A user who may not destroy changes nothing: what is there is only said.
    openNotes_ =
        vss6::FinishInterruptedDestroy(vss6::JournalPath(location->folder), location->data,
                                       vss6::MayDestroy(session->user, location->projectSecurity))
            .notes;
    return session;
  });
}

std::shared_ptr<IVSSItem> Vss6Database::VSSItem(const std::string& spec, bool deleted) {
  if (!session_) {
    Raise(ErrorCode::kNotOpen, "The database is not open");
  }
  return RaisingFromReader(
      [&] { return std::make_shared<Vss6Item>(session_, Find(*session_->tree, spec, deleted)); });
}

void Vss6Database::BeginDestroyGroup(std::function<void()> /*between*/) {
  if (!session_) {
    Raise(ErrorCode::kNotOpen, "The database is not open");
  }
  const std::shared_ptr<vss6::Vss6Tree> tree = session_->tree;
  session_->group = std::make_unique<vss6::DestroyGroup>(
      [tree](const std::string& parent, const vss6::DestroyDone& done) {
        tree->NoteDestroyed(parent, done.parent, done.projects, done.items);
      });
}

int Vss6Database::UnsavedDestroys() {
  return session_ && session_->group ? session_->group->Waiting() : 0;
}

void Vss6Database::EndDestroyGroup() {
  if (!session_ || !session_->group) {
    return;
  }
  const std::unique_ptr<vss6::DestroyGroup> group = std::move(session_->group);
  std::string notWritten;
  RaisingFromReader([&] {
    try {
      group->Write();
    } catch (const vss6::GroupNotWritten& error) {
      notWritten = error.what();
    }
  });
  std::string leftovers;
  for (const std::string& leftover : group->TakeLeftovers()) {
    leftovers += (leftovers.empty() ? "" : " ") + leftover;
  }
  // Those that did not take place first: the purge counts them as failed.
  if (!notWritten.empty()) {
    Raise(ErrorCode::kDestroysNotSaved, notWritten + (leftovers.empty() ? "" : " " + leftovers));
  }
  if (!leftovers.empty()) {
    Raise(ErrorCode::kDestroyedWithLeftovers, leftovers);
  }
}

bool Vss6Database::MayDestroy() {
  if (!session_) {
    Raise(ErrorCode::kNotOpen, "The database is not open");
  }
  return vss6::MayDestroy(session_->user, session_->location.projectSecurity);
}

std::vector<std::string> Vss6Database::Check(const std::string& iniPath) {
  return RaisingFromReader([&] {
    const auto location = sourcesafe::LocateSourceSafe6(iniPath, "/proc/self/mountinfo");
    if (!location) {
      Raise(ErrorCode::kNotADatabase, "'" + iniPath + "' is not a SourceSafe 6 database");
    }
    std::vector<std::string> faults;
    try {
      faults = vss6::CheckDatabase(location->data, codePage_.empty() ? "CP1252" : codePage_);
    } catch (const std::invalid_argument& error) {
      Raise(ErrorCode::kInvalidArgument, error.what());
    } catch (const vss6::FormatError& error) {
      // The check reads past damage; what stops it is a folder it cannot read as this format.
      Raise(ErrorCode::kUnsupportedVersion, error.what());
    }
    const std::vector<std::string> pending =
        vss6::PendingDestroys(vss6::JournalPath(location->folder), location->data);
    faults.insert(faults.end(), pending.begin(), pending.end());
    return faults;
  });
}

}  // namespace vss6
