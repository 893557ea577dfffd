#pragma once

#include "platform/shell/FolderDialog.h"

namespace shell {

// The folder dialog's callback: when the dialog opens it selects the folder whose path the
// application data points to (when there is one); when the selection changes it shows the new
// folder's path in the dialog's status line. Returns 0; failures inside it are ignored.
int BrowseCallbackProc(HWND dialog, UINT message, LPARAM value, LPARAM data);

}  // namespace shell
