#pragma once

#include <cstddef>
#include <cstdint>

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

// Every log record's body in SourceSafe 6: fixed fields, then the action's, then padding.
inline constexpr std::size_t kLogBodySize = 404;
inline constexpr std::size_t kLogFixedSize = 88;
// Where a child's NAME and physical name lie in a project log record about it.
inline constexpr std::size_t kLogChildName = kLogFixedSize;
inline constexpr std::size_t kLogChildPhysical = kLogFixedSize + 40;
// A destroy record has a word between the two.
inline constexpr std::size_t kDestroyWord = kLogFixedSize + 40;
inline constexpr std::size_t kDestroyPhysical = kLogFixedSize + 40 + 2;

}  // namespace vss6
