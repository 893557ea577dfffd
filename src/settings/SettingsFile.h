#pragma once

#include <string>
#include <utility>

#include "errors/ErrorRecord.h"

namespace settings {

// What was last found wrong with a file the settings live in, naming the file; empty when
// nothing was.
std::string SettingsFileProblem();

// Runs `statement`, which reads or writes settings. When it fails and a settings file is at
// fault, the error goes on with the same number and source and the file's problem after its
// description: "Failed saving the application setting" alone does not say that the file is
// damaged, nor which file.
template <class Statement>
void NamingTheSettingsFile(Statement&& statement) {
  try {
    std::forward<Statement>(statement)();
  } catch (const errors::ErrorRecord& error) {
    const std::string problem = SettingsFileProblem();
    if (problem.empty()) {
      throw;
    }
    throw errors::ErrorRecord(error.Number(), error.Source(), error.Description() + ". " + problem);
  }
}

}  // namespace settings
