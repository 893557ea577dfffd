#pragma once

#include "platform/shell/FolderDialog.h"

namespace shell {

// The folder dialog on Qt Widgets: the title above a tree of folders, a status line when the
// flags ask for one, a new-folder button with the new dialog style, OK and Cancel.
class QtFolderDialogs final : public FolderDialogs {
 public:
  std::unique_ptr<ITEMIDLIST> SHBrowseForFolder(BROWSEINFO* browse) override;
  BOOL SHGetPathFromIDList(const ITEMIDLIST* item, char* path) override;
  LRESULT SendMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace shell
