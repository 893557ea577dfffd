#include "settings/SettingsFile.h"

#include "platform/registry/Hive.h"

namespace settings {

std::string SettingsFileProblem() { return registry::LastHiveProblem(); }

}  // namespace settings
