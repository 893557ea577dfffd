#include "shell/CBrowseForFolder.h"

#include <cstring>
#include <memory>

#include "errors/ClassFailure.h"
#include "platform/shell/FolderDialog.h"
#include "platform/windowing/Windowing.h"
#include "shell/MBrowseForFolder.h"

namespace shell {
namespace {

using Errors = errors::ClassErrors<CBrowseForFolder>;

}  // namespace

void CBrowseForFolder::Init(const std::string& initialPath, std::intptr_t hWndOwner,
                            const std::string& dialogTitle, std::int32_t flags) {
  Errors::Guarded([&] {
    initialPath_ = initialPath;
    dialogTitle_ = dialogTitle;
    SetHWndOwner(hWndOwner);  // the owner and the flags only once the owner passed its test
    flags_ = flags;
  });
}

void CBrowseForFolder::SetHWndOwner(std::intptr_t value) {
  Errors::Guarded([&] {
    if (value > 0 && windowing::IsWindow(static_cast<windowing::HWND>(value)) == 0) {
      Errors::Raise(kInvalidWindowHandle, "Invalid window handle");
    }
    hWndOwner_ = value;
  });
}

bool CBrowseForFolder::Browse() {
  return Errors::Guarded([&] {
    FolderDialogs& dialogs = CurrentFolderDialogs();
    BROWSEINFO browse;
    browse.hwndOwner = static_cast<windowing::HWND>(hWndOwner_);
    browse.pidlRoot = nullptr;
    browse.pszDisplayName = displayName_.data();
    browse.lpszTitle = dialogTitle_;
    browse.ulFlags = static_cast<windowing::UINT>(flags_);
    browse.lpfn = &BrowseCallbackProc;
    browse.iImage = 0;
    // The initial-path block lives until the dialog has closed, whatever way Browse leaves.
    std::unique_ptr<char[]> block;
    if (!initialPath_.empty()) {
      try {
        block = std::make_unique<char[]>(initialPath_.size() + 1);  // zero-filled
      } catch (const std::bad_alloc&) {
        // Without the block the dialog simply opens without a preselection.
      }
      if (block) {
        std::memcpy(block.get(), initialPath_.data(), initialPath_.size());
        browse.lParam = reinterpret_cast<LPARAM>(block.get());
      }
    }
    const std::unique_ptr<ITEMIDLIST> chosen = dialogs.SHBrowseForFolder(&browse);
    if (!chosen) {
      return false;  // cancelled: SelectedPath keeps its value
    }
    std::string path(kMaxPath, '\0');
    if (dialogs.SHGetPathFromIDList(chosen.get(), path.data()) == 0) {
      Errors::Raise(kNoPath, "Could not get the path of the selected folder");
    }
    selectedPath_ = path.substr(0, path.find('\0'));
    return true;
  });
}

}  // namespace shell
