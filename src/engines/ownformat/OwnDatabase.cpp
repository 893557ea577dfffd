#include "engines/ownformat/OwnDatabase.h"

#include <QLocale>
#include <utility>
#include <vector>

#include "engines/common/EngineError.h"
#include "engines/common/Raising.h"
#include "engines/ownformat/Integrity.h"
#include "engines/ownformat/Session.h"
#include "errors/ErrorRecord.h"
#include "errors/Procedure.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"

namespace sourcesafe {
namespace {

using sourcecontrol::ItemType;
using sourcecontrol::IVSSItem;
using sourcecontrol::IVSSItems;

// About what an item takes in the data file: its content, and its rows in the items table, the
// two indexes over it and the contents table (each name twice, as written and folded, and a few
// dozen bytes of numbers and record overhead each). SQLite's pages hold some slack besides, so
// this is an estimate; vssdb compact gives the freed pages back.
std::int64_t EstimatedRowBytes(const ItemRecord& item) {
  constexpr std::int64_t kRowOverhead = 40;
  const auto names = static_cast<std::int64_t>(2 * item.name.size());
  std::int64_t bytes = 2 * (names + kRowOverhead) + (item.deleted ? 0 : names + kRowOverhead);
  if (!item.isProject) {
    bytes += item.size + kRowOverhead;
  }
  return bytes;
}

class VSSItemOfEngine final : public IVSSItem {
 public:
  VSSItemOfEngine(std::shared_ptr<Session> session, ItemRecord record)
      : session_(std::move(session)), record_(std::move(record)) {}

  bool Deleted() override {
    ExpectPresent();
    return record_.deleted;
  }
  std::string Spec() override {
    ExpectPresent();
    return record_.spec;
  }
  ItemType Type() override {
    ExpectPresent();
    return record_.isProject ? ItemType::Project : ItemType::File;
  }
  std::int64_t Size() override {
    ExpectPresent();
    return record_.size;
  }
  std::shared_ptr<IVSSItems> Items(bool includeDeleted) override;
  std::vector<unsigned char> Content() override {
    ExpectPresent();
    if (record_.isProject) {
      return {};
    }
    return Raising([&] { return session_->Content(record_); });
  }
  void Destroy() override {
    ExpectPresent();
    Raising([&] { session_->Destroy(record_); });
    destroyed_ = true;
  }
  void Recover() override {
    ExpectPresent();
    Raising([&] { session_->Recover(record_); });
    record_.deleted = false;
  }
  std::int64_t DiskSize() override {
    ExpectPresent();
    return EstimatedRowBytes(record_);
  }
  sourcecontrol::Deletion DeletedBy() override {
    ExpectPresent();
    return Raising([&] { return session_->DeletionOf(record_); });
  }

 private:
  void ExpectPresent() const {
    if (destroyed_) {
      throw errors::ErrorRecord(static_cast<std::int32_t>(ErrorCode::kItemNotFound),
                                kEngineErrorSource, "'" + record_.spec + "' has been destroyed");
    }
  }

  std::shared_ptr<Session> session_;
  ItemRecord record_;
  bool destroyed_ = false;
};

class VSSItemsOfEngine final : public IVSSItems {
 public:
  VSSItemsOfEngine(std::shared_ptr<Session> session, std::vector<ItemRecord> children)
      : session_(std::move(session)), children_(std::move(children)) {}

  int Count() override { return static_cast<int>(children_.size()); }
  std::shared_ptr<IVSSItem> Item(int index) override {
    if (index < 1 || index > Count()) {
      throw errors::ErrorRecord(static_cast<std::int32_t>(ErrorCode::kInvalidArgument),
                                kEngineErrorSource,
                                "There is no child number " + std::to_string(index));
    }
    return std::make_shared<VSSItemOfEngine>(session_,
                                             children_[static_cast<std::size_t>(index - 1)]);
  }

 private:
  std::shared_ptr<Session> session_;
  std::vector<ItemRecord> children_;
};

std::shared_ptr<IVSSItems> VSSItemOfEngine::Items(bool includeDeleted) {
  ExpectPresent();
  return Raising([&] {
    return std::make_shared<VSSItemsOfEngine>(session_,
                                              session_->Children(record_, includeDeleted));
  });
}

}  // namespace

void OwnDatabase::Open(const std::string& iniPath, const std::string& userName,
                       const std::string& password) {
  session_ =
      Raising([&] { return std::shared_ptr<Session>(Session::Open(iniPath, userName, password)); });
}

Session& OwnDatabase::OpenSession() const {
  if (!session_) {
    throw errors::ErrorRecord(static_cast<std::int32_t>(ErrorCode::kNotOpen), kEngineErrorSource,
                              "The database is not open");
  }
  return *session_;
}

std::shared_ptr<IVSSItem> OwnDatabase::VSSItem(const std::string& spec, bool deleted) {
  Session& session = OpenSession();
  return Raising(
      [&] { return std::make_shared<VSSItemOfEngine>(session_, session.Find(spec, deleted)); });
}

bool OwnDatabase::MayDestroy() {
  Session& session = OpenSession();
  return Raising([&] { return session.MayDestroy(); });
}

void OwnDatabase::BeginDestroyGroup(std::function<void()> between) {
  OpenSession().BeginDestroyGroup(std::move(between));
}

int OwnDatabase::UnsavedDestroys() { return session_ ? session_->UnsavedDestroys() : 0; }

void OwnDatabase::EndDestroyGroup() {
  Session& session = OpenSession();
  Raising([&] { session.EndDestroyGroup(); });
}

void OwnDatabase::Restore(const std::vector<sourcecontrol::RestoredItem>& items) {
  Session& session = OpenSession();
  Raising([&] { session.Restore(items); });
}

std::vector<std::string> OwnDatabase::Check(const std::string& iniPath) {
  return Raising([&] { return CheckIntegrity(iniPath); });
}

std::string OwnDatabase::AfterPurgeAdvice(std::int64_t freedBytes) {
  if (freedBytes < kCompactAdviceBytes || !session_) {
    return {};
  }
  // The free pages went back at each save; what the purge left in half-empty pages did not.
  const QLocale plain = QLocale::c();
  return "Part of the " + plain.formattedDataSize(freedBytes, 1).toStdString() +
         " freed may stay in half-empty pages of the data file: vssdb compact '" +
         session_->Location().ini.parent_path().string() +
         "' gives it back to the file system, when no one else has the database open.";
}

}  // namespace sourcesafe
