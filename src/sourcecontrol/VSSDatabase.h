#pragma once

#include <memory>
#include <string>

#include "sourcecontrol/IVSSDatabase.h"

namespace sourcesafe {
class Session;
}

namespace sourcecontrol {

// The database object over the engine of platform/sourcesafe, or, for a SourceSafe 6 database
// folder, over its reader (Vss6Database).
class VSSDatabase final : public IVSSDatabase {
 public:
  void SetNameCodePage(const std::string& codePage) override { codePage_ = codePage; }
  void Open(const std::string& iniPath, const std::string& userName,
            const std::string& password) override;
  std::shared_ptr<IVSSItem> VSSItem(const std::string& spec, bool deleted) override;
  bool MayDestroy() override;

 private:
  // The open session; raises kNotOpen before Open has succeeded.
  sourcesafe::Session& OpenSession() const;

  std::shared_ptr<sourcesafe::Session> session_;
  std::shared_ptr<IVSSDatabase> other_;  // a SourceSafe 6 database's, when one is open
  std::string codePage_;
};

}  // namespace sourcecontrol
