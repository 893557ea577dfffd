#pragma once

#include <filesystem>

#include "platform/sqlite/SqliteError.h"

namespace sourcesafe {

// Turns a failure of SQLite on the data file into the engine's error: a lock held too long,
// a damaged file, a file of another kind, a full disk or a refused write.
[[noreturn]] void ThrowStorageError(const sqlite::SqliteError& error,
                                    const std::filesystem::path& dataFile);

// Runs `work`, turning SQLite failures into engine errors.
template <class Work>
auto WithStorageErrors(const std::filesystem::path& dataFile, Work&& work) {
  try {
    return work();
  } catch (const sqlite::SqliteError& error) {
    ThrowStorageError(error, dataFile);
  }
}

}  // namespace sourcesafe
