#include "engines/factory/NewVSSDatabase.h"

#include <utility>

#include "engines/common/Location.h"
#include "engines/ownformat/OwnDatabase.h"
#include "engines/vss6/Vss6Database.h"

namespace sourcecontrol {
namespace {

VSSDatabaseFactory& Factory() {
  static VSSDatabaseFactory factory;
  return factory;
}

// Whether the path names a SourceSafe 6 database. An ini whose Data_Path cannot be followed is
// one too: its engine's Open says why it cannot be opened.
bool NamesSourceSafe6(const std::string& iniPath) {
  try {
    return sourcesafe::FormatOf(iniPath) == sourcesafe::DatabaseFormat::SourceSafe6;
  } catch (...) {
    return true;
  }
}

}  // namespace

std::shared_ptr<IVSSDatabase> NewVSSDatabase(const std::string& iniPath) {
  if (Factory()) {
    return Factory()();
  }
  if (NamesSourceSafe6(iniPath)) {
    return std::make_shared<vss6::Vss6Database>();
  }
  return std::make_shared<sourcesafe::OwnDatabase>();
}

ScopedVSSDatabaseFactory::ScopedVSSDatabaseFactory(VSSDatabaseFactory factory)
    : previous_(std::exchange(Factory(), std::move(factory))) {}

ScopedVSSDatabaseFactory::~ScopedVSSDatabaseFactory() { Factory() = std::move(previous_); }

}  // namespace sourcecontrol
