#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Seam.h"
#include "platform/windowing/Windowing.h"

namespace shell {

// The shell's folder dialog, as the Windows calls offer it: a modal dialog described by a browse
// record, which calls back when it opens and when its selection changes, and takes two requests
// from the callback (select this path; show this status text). Tests script a choice or a cancel
// by putting a fake in place of the real dialog with ScopedFolderDialogs.
using windowing::BOOL;
using windowing::HWND;
using windowing::UINT;
using LPARAM = std::intptr_t;
using WPARAM = std::uintptr_t;
using LRESULT = std::intptr_t;

// An item of the folder tree; a folder with a file-system path has one.
struct ITEMIDLIST {
  std::string path;
  bool fileSystem = true;
};

using BFFCALLBACK = int (*)(HWND dialog, UINT message, LPARAM value, LPARAM data);

inline constexpr UINT BIF_RETURNONLYFSDIRS = 0x0001;
inline constexpr UINT BIF_STATUSTEXT = 0x0004;
inline constexpr UINT BIF_NEWDIALOGSTYLE = 0x0040;

inline constexpr UINT BFFM_INITIALIZED = 1;
inline constexpr UINT BFFM_SELCHANGED = 2;
inline constexpr UINT BFFM_SETSTATUSTEXTA = 1124;
inline constexpr UINT BFFM_SETSELECTIONA = 1126;

// Paths cross the dialog in buffers of this many characters, the terminator included.
inline constexpr std::size_t kMaxPath = 512;

struct BROWSEINFO {
  HWND hwndOwner = 0;
  const ITEMIDLIST* pidlRoot = nullptr;  // null: the whole file system
  char* pszDisplayName = nullptr;        // kMaxPath characters: the chosen folder's name
  std::string lpszTitle;
  UINT ulFlags = 0;
  BFFCALLBACK lpfn = nullptr;
  LPARAM lParam = 0;
  int iImage = 0;
};

class FolderDialogs {
 public:
  virtual ~FolderDialogs() = default;
  // Shows the modal dialog; the chosen item, or nothing when the user cancelled.
  virtual std::unique_ptr<ITEMIDLIST> SHBrowseForFolder(BROWSEINFO* browse) = 0;
  // Copies the item's path (at most kMaxPath - 1 characters) and a terminator into `path`.
  virtual BOOL SHGetPathFromIDList(const ITEMIDLIST* item, char* path) = 0;
  // A request from the callback to the open dialog.
  virtual LRESULT SendMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// The dialogs in use: the Qt one unless a ScopedFolderDialogs has replaced it.
FolderDialogs& CurrentFolderDialogs();

using ScopedFolderDialogs = platform::Seam<FolderDialogs>::Scope;

}  // namespace shell
