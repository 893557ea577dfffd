#include "sourcecontrol/VSSDatabase.h"

#include <utility>
#include <vector>

#include "errors/ErrorRecord.h"
#include "errors/Procedure.h"
#include "platform/sourcesafe/EngineError.h"
#include "platform/sourcesafe/Location.h"
#include "platform/sourcesafe/Session.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"
#include "sourcecontrol/Raising.h"
#include "sourcecontrol/Vss6Database.h"

namespace sourcecontrol {
namespace {

class VSSItemOfEngine final : public IVSSItem {
 public:
  VSSItemOfEngine(std::shared_ptr<sourcesafe::Session> session, sourcesafe::ItemRecord record)
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
  void Destroy() override {
    ExpectPresent();
    Raising([&] { session_->Destroy(record_); });
    destroyed_ = true;
  }

 private:
  void ExpectPresent() const {
    if (destroyed_) {
      throw errors::ErrorRecord(static_cast<std::int32_t>(sourcesafe::ErrorCode::kItemNotFound),
                                kEngineErrorSource, "'" + record_.spec + "' has been destroyed");
    }
  }

  std::shared_ptr<sourcesafe::Session> session_;
  sourcesafe::ItemRecord record_;
  bool destroyed_ = false;
};

class VSSItemsOfEngine final : public IVSSItems {
 public:
  VSSItemsOfEngine(std::shared_ptr<sourcesafe::Session> session,
                   std::vector<sourcesafe::ItemRecord> children)
      : session_(std::move(session)), children_(std::move(children)) {}

  int Count() override { return static_cast<int>(children_.size()); }
  std::shared_ptr<IVSSItem> Item(int index) override {
    if (index < 1 || index > Count()) {
      throw errors::ErrorRecord(static_cast<std::int32_t>(sourcesafe::ErrorCode::kInvalidArgument),
                                kEngineErrorSource,
                                "There is no child number " + std::to_string(index));
    }
    return std::make_shared<VSSItemOfEngine>(session_,
                                             children_[static_cast<std::size_t>(index - 1)]);
  }

 private:
  std::shared_ptr<sourcesafe::Session> session_;
  std::vector<sourcesafe::ItemRecord> children_;
};

std::shared_ptr<IVSSItems> VSSItemOfEngine::Items(bool includeDeleted) {
  ExpectPresent();
  return Raising([&] {
    return std::make_shared<VSSItemsOfEngine>(session_,
                                              session_->Children(record_, includeDeleted));
  });
}

VSSDatabaseFactory& Factory() {
  static VSSDatabaseFactory factory;
  return factory;
}

}  // namespace

void VSSDatabase::Open(const std::string& iniPath, const std::string& userName,
                       const std::string& password) {
  // A SourceSafe 6 database folder is read by a reader of its own.
  const bool sourceSafe6 = Raising([&] {
    return sourcesafe::LocateSourceSafe6Data(iniPath, "/proc/self/mountinfo").has_value();
  });
  if (sourceSafe6) {
    auto other = std::make_shared<Vss6Database>();
    other->SetNameCodePage(codePage_);
    other->Open(iniPath, userName, password);
    session_.reset();
    other_ = std::move(other);
    return;
  }
  other_.reset();
  session_ = Raising([&] {
    return std::shared_ptr<sourcesafe::Session>(
        sourcesafe::Session::Open(iniPath, userName, password));
  });
}

sourcesafe::Session& VSSDatabase::OpenSession() const {
  if (!session_) {
    throw errors::ErrorRecord(static_cast<std::int32_t>(sourcesafe::ErrorCode::kNotOpen),
                              kEngineErrorSource, "The database is not open");
  }
  return *session_;
}

std::shared_ptr<IVSSItem> VSSDatabase::VSSItem(const std::string& spec, bool deleted) {
  if (other_) {
    return other_->VSSItem(spec, deleted);
  }
  sourcesafe::Session& session = OpenSession();
  return Raising(
      [&] { return std::make_shared<VSSItemOfEngine>(session_, session.Find(spec, deleted)); });
}

bool VSSDatabase::MayDestroy() {
  if (other_) {
    return other_->MayDestroy();
  }
  sourcesafe::Session& session = OpenSession();
  return Raising([&] { return session.MayDestroy(); });
}

std::shared_ptr<IVSSDatabase> NewVSSDatabase() {
  if (Factory()) {
    return Factory()();
  }
  return std::make_shared<VSSDatabase>();
}

ScopedVSSDatabaseFactory::ScopedVSSDatabaseFactory(VSSDatabaseFactory factory)
    : previous_(std::exchange(Factory(), std::move(factory))) {}

ScopedVSSDatabaseFactory::~ScopedVSSDatabaseFactory() { Factory() = std::move(previous_); }

}  // namespace sourcecontrol
