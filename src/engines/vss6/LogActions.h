#pragma once

#include <cstddef>
#include <cstdint>

#include "engines/vss6/Layout.h"

namespace vss6 {

// What a log (EL) record records: the word at offset 4 of its body.
enum Action : std::uint16_t {
  kLabel = 0,
  kCreateProject = 1,
  kAddProject = 2,
  kAddFile = 3,
  kDestroyProject = 4,
  kDestroyFile = 5,
  kDeleteProject = 6,
  kDeleteFile = 7,
  kRecoverProject = 8,
  kRecoverFile = 9,
  kRenameProject = 10,
  kRenameFile = 11,
  kShareFile = 14,
  kCreateFile = 16,
  kEditFile = 17,
};

}  // namespace vss6
