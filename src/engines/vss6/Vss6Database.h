#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sourcecontrol/IVSSDatabase.h"

namespace vss6 {

struct Vss6Session;

// The database object over a SourceSafe 6 database folder, read and written through this
// engine. It destroys the deleted items whose destroy is known from real databases and refuses
// the others with their reason.
class Vss6Database final : public sourcecontrol::IVSSDatabase {
 public:
  Vss6Database();
  ~Vss6Database() override;

  void SetNameCodePage(const std::string& codePage) override { codePage_ = codePage; }
  void Open(const std::string& iniPath, const std::string& userName,
            const std::string& password) override;
  std::shared_ptr<sourcecontrol::IVSSItem> VSSItem(const std::string& spec, bool deleted) override;
  // A user marked read-only may destroy nothing; with project security switched on only Admin
  // may, as this program does not read the rights of each project.
  bool MayDestroy() override;
  std::vector<std::string> OpenNotes() override { return openNotes_; }
  // A purge's destroys of entries of one project are written together, as one change each.
  void BeginDestroyGroup(std::function<void()> between) override;
  int UnsavedDestroys() override;
  void EndDestroyGroup() override;
  // Other clients do not know this program's locks: nobody should work in the database, and
  // SourceSafe's Analyze checks it afterwards.
  std::string PurgeAdvice() override {
    return "Make sure nobody is working in the database while it is purged, and run Analyze on "
           "it afterwards.";
  }
  std::vector<std::string> Check(const std::string& iniPath) override;

 private:
  std::shared_ptr<Vss6Session> session_;
  std::string codePage_;
  std::vector<std::string> openNotes_;
};

}  // namespace vss6
