#pragma once

#include <memory>
#include <string>

#include "sourcecontrol/IVSSDatabase.h"

namespace sourcecontrol {

struct Vss6Session;

// The database object over a SourceSafe 6 database folder, read and written through
// platform/vss6. It destroys the deleted items whose destroy is known from real databases and
// refuses the others with their reason.
class Vss6Database final : public IVSSDatabase {
 public:
  Vss6Database();
  ~Vss6Database() override;

  void SetNameCodePage(const std::string& codePage) override { codePage_ = codePage; }
  void Open(const std::string& iniPath, const std::string& userName,
            const std::string& password) override;
  std::shared_ptr<IVSSItem> VSSItem(const std::string& spec, bool deleted) override;
  // A user marked read-only may destroy nothing; with project security switched on only Admin
  // may, as this program does not read the rights of each project.
  bool MayDestroy() override;

 private:
  std::shared_ptr<Vss6Session> session_;
  std::string codePage_;
};

}  // namespace sourcecontrol
