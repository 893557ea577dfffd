#pragma once

#include <sys/types.h>

#include <map>
#include <optional>
#include <vector>

#include "platform/shell/Shell.h"

namespace shell {

// The shell on a Linux desktop.
//
// ShellExecute:
//  - an address (http:, https:, mailto:, file:) with "open" goes to xdg-open, found through PATH;
//  - a file or folder that does not exist gives SE_ERR_FNF (SE_ERR_PNF when its folder is
//    missing too);
//  - any verb for which the file's type has HKLM\SOFTWARE\Classes\<type>\shell\<verb>\command in
//    the registry runs that command, with %1 replaced by the file as one argument;
//  - "open" on an executable file starts it with the parameters (Windows splitting rules), in
//    `directory`; on anything else it goes to xdg-open;
//  - "explore" on a folder asks the desktop's file manager (org.freedesktop.FileManager1 over
//    D-Bus) and falls back to xdg-open;
//  - every other verb gives SE_ERR_NOASSOC.
// How failures map: no xdg-open in PATH, or xdg-open finding no handler (its exit code 3):
// SE_ERR_NOASSOC; xdg-open saying the file is missing (2): SE_ERR_FNF; a handler that failed
// (any other non-zero exit or a signal): SE_ERR_DDEFAIL; a program that cannot be started:
// SE_ERR_FNF, SE_ERR_ACCESSDENIED or ERROR_BAD_FORMAT after its errno. A handler that has not
// returned within kHandlerWait counts as accepted, so a slow browser never holds the window.
class LinuxShell final : public Shell {
 public:
  static constexpr int kHandlerWaitMs = 1000;

  ~LinuxShell() override;

  HINSTANCE ShellExecute(HWND owner, const char* verb, const std::string& file,
                         const char* parameters, const char* directory, int show) override;
  BOOL ShellExecuteEx(SHELLEXECUTEINFO* info) override;
  HANDLE FindFirstFile(const std::string& pattern, WIN32_FIND_DATA* found) override;
  BOOL FindClose(HANDLE search) override;
  BOOL CreateProcess(const char* applicationName, const std::string& commandLine,
                     const SECURITY_ATTRIBUTES* process, const SECURITY_ATTRIBUTES* thread,
                     BOOL inheritHandles, DWORD creationFlags, const void* environment,
                     const char* currentDirectory, const STARTUPINFO* startup,
                     PROCESS_INFORMATION* information) override;
  DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) override;
  BOOL CloseHandle(HANDLE handle) override;

 private:
  struct Handle {
    enum Kind { kSearch, kProcess, kThread } kind;
    pid_t pid = 0;
    bool ended = false;
  };

  // Runs a handler and waits for it at most kHandlerWaitMs; with `isXdgOpen` its exit status is
  // read by xdg-open's own codes.
  HINSTANCE RunHandler(const std::vector<std::string>& argv, const std::string& directory,
                       bool isXdgOpen);
  HINSTANCE XdgOpen(const std::string& target);
  HANDLE NewHandle(Handle handle);
  // Collects the handlers that were still running when their wait ended.
  void Reap();

  std::map<HANDLE, Handle> handles_;
  HANDLE nextHandle_ = 0x100;
  std::vector<pid_t> unreaped_;
};

}  // namespace shell
