#pragma once

#include <cstdint>
#include <string>

#include "errors/ErrorRecord.h"

namespace shell {

// Lets the user pick a folder in the folder dialog, opened at a chosen folder, and hands back
// the chosen folder's path. Errors carry the source "Scourwell.CBrowseForFolder".
class CBrowseForFolder {
 public:
  static constexpr const char* kSource = "Scourwell.CBrowseForFolder";
  static constexpr std::int32_t kNoPath = errors::ClassErrorNumber(17061);
  static constexpr std::int32_t kInvalidWindowHandle = errors::ClassErrorNumber(17062);
  static constexpr std::int32_t kComponentFailure = errors::ClassErrorNumber(17063);

  // Stores the path and the title, then tests and stores the owner and the flags.
  void Init(const std::string& initialPath = "", std::intptr_t hWndOwner = 0,
            const std::string& dialogTitle = "", std::int32_t flags = 1);
  // Shows the modal dialog: true when a folder with a file-system path was chosen.
  bool Browse();

  std::int32_t Flags() const noexcept { return flags_; }
  void SetFlags(std::int32_t value) noexcept { flags_ = value; }
  const std::string& DialogTitle() const noexcept { return dialogTitle_; }
  void SetDialogTitle(const std::string& value) { dialogTitle_ = value; }
  const std::string& InitialPath() const noexcept { return initialPath_; }
  void SetInitialPath(const std::string& value) { initialPath_ = value; }
  const std::string& SelectedPath() const noexcept { return selectedPath_; }
  // Window handles are as wide as a pointer here; a positive one must name an existing window.
  std::intptr_t HWndOwner() const noexcept { return hWndOwner_; }
  void SetHWndOwner(std::intptr_t value);

 private:
  std::int32_t flags_ = 69;  // file-system folders only, a status line, the new dialog style
  std::intptr_t hWndOwner_ = 0;
  std::string initialPath_;
  std::string selectedPath_;
  std::string dialogTitle_;
  std::string displayName_ = std::string(512, '\0');
};

}  // namespace shell
