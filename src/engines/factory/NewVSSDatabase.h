#pragma once

#include <functional>
#include <memory>
#include <string>

#include "sourcecontrol/IVSSDatabase.h"

namespace sourcecontrol {

// Makes a new, unopened database object for the database that `iniPath` names: the engine its
// format needs (our own when the path names nothing the SourceSafe 6 engine knows, so that its
// Open says what is wrong), unless a test has put a factory in place. Never raises: whatever
// is wrong with the path, Open says.
std::shared_ptr<IVSSDatabase> NewVSSDatabase(const std::string& iniPath);

using VSSDatabaseFactory = std::function<std::shared_ptr<IVSSDatabase>()>;

// Puts `factory` in place of the engine's for its own lifetime.
class ScopedVSSDatabaseFactory {
 public:
  explicit ScopedVSSDatabaseFactory(VSSDatabaseFactory factory);
  ~ScopedVSSDatabaseFactory();
  ScopedVSSDatabaseFactory(const ScopedVSSDatabaseFactory&) = delete;
  ScopedVSSDatabaseFactory& operator=(const ScopedVSSDatabaseFactory&) = delete;

 private:
  VSSDatabaseFactory previous_;
};

}  // namespace sourcecontrol
