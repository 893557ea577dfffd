#pragma once

#include <memory>
#include <string>

#include "sourcecontrol/IVSSDatabase.h"

namespace vss6 {
class Vss6Tree;
}

namespace sourcecontrol {

// The database object over a SourceSafe 6 database folder, read through platform/vss6. It lists
// and never writes: a destroy is refused, and MayDestroy says no, until destroying is written.
class Vss6Database final : public IVSSDatabase {
 public:
  Vss6Database();
  ~Vss6Database() override;

  void SetNameCodePage(const std::string& codePage) override { codePage_ = codePage; }
  void Open(const std::string& iniPath, const std::string& userName,
            const std::string& password) override;
  std::shared_ptr<IVSSItem> VSSItem(const std::string& spec, bool deleted) override;
  bool MayDestroy() override;
  std::string DestroyRefusal() override;

 private:
  std::shared_ptr<vss6::Vss6Tree> tree_;
  std::string codePage_;
};

}  // namespace sourcecontrol
