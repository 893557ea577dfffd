#include "shell/MBrowseForFolder.h"

#include <string>

namespace shell {

int BrowseCallbackProc(HWND dialog, UINT message, LPARAM value, LPARAM data) {
  try {
    FolderDialogs& dialogs = CurrentFolderDialogs();
    if (message == BFFM_INITIALIZED) {
      if (data != 0) {
        dialogs.SendMessage(dialog, BFFM_SETSELECTIONA, static_cast<WPARAM>(-1), data);
      }
    } else if (message == BFFM_SELCHANGED) {
      std::string path(kMaxPath, '\0');
      const auto* item = reinterpret_cast<const ITEMIDLIST*>(value);
      if (dialogs.SHGetPathFromIDList(item, path.data()) != 0) {
        path.resize(path.find('\0'));
      } else {
        path.clear();
      }
      dialogs.SendMessage(dialog, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path.c_str()));
    }
  } catch (...) {
    // The dialog goes on whatever happens here.
  }
  return 0;
}

}  // namespace shell
