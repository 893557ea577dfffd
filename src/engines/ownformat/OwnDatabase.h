#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sourcecontrol/IVSSDatabase.h"

namespace sourcesafe {

class Session;

// The database object over our own engine: a session of one user, and its items.
class OwnDatabase final : public sourcecontrol::IVSSDatabase {
 public:
  // Names are kept in UTF-8: there is no code page to choose.
  void Open(const std::string& iniPath, const std::string& userName,
            const std::string& password) override;
  std::shared_ptr<sourcecontrol::IVSSItem> VSSItem(const std::string& spec, bool deleted) override;
  bool MayDestroy() override;
  void BeginDestroyGroup(std::function<void()> between) override;
  int UnsavedDestroys() override;
  void EndDestroyGroup() override;
  std::vector<std::string> Check(const std::string& iniPath) override;
  void Restore(const std::vector<sourcecontrol::RestoredItem>& items) override;
  // After a purge that freed kCompactAdviceBytes or more: vssdb compact.
  std::string AfterPurgeAdvice(std::int64_t freedBytes) override;

  static constexpr std::int64_t kCompactAdviceBytes = 8 * 1024 * 1024;

 private:
  // The open session; raises kNotOpen before Open has succeeded.
  Session& OpenSession() const;

  std::shared_ptr<Session> session_;
};

}  // namespace sourcesafe
