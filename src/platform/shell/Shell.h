#pragma once

#include <cstdint>
#include <string>

#include "platform/Seam.h"
#include "platform/windowing/Windowing.h"

namespace shell {

// The shell and process calls of the Windows API the program was written against: performing a
// verb on a file or address, the properties sheet, finding files, starting a process and
// waiting for it. Results and codes are those of the originals. Tests put a fake in place of the
// real calls with ScopedShell.
using windowing::BOOL;
using windowing::HWND;
using DWORD = std::uint32_t;
using HINSTANCE = std::intptr_t;
using HANDLE = std::intptr_t;

inline constexpr HANDLE INVALID_HANDLE_VALUE = -1;
inline constexpr DWORD INFINITE = 0xFFFFFFFFu;
inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;
inline constexpr int SW_SHOWNORMAL = 1;

// ShellExecute results of 32 or less are failures.
inline constexpr HINSTANCE SE_ERR_FNF = 2;
inline constexpr HINSTANCE SE_ERR_PNF = 3;
inline constexpr HINSTANCE SE_ERR_ACCESSDENIED = 5;
inline constexpr HINSTANCE SE_ERR_OOM = 8;
inline constexpr HINSTANCE ERROR_BAD_FORMAT = 11;
inline constexpr HINSTANCE SE_ERR_SHARE = 26;
inline constexpr HINSTANCE SE_ERR_ASSOCINCOMPLETE = 27;
inline constexpr HINSTANCE SE_ERR_DDETIMEOUT = 28;
inline constexpr HINSTANCE SE_ERR_DDEFAIL = 29;
inline constexpr HINSTANCE SE_ERR_DDEBUSY = 30;
inline constexpr HINSTANCE SE_ERR_NOASSOC = 31;
inline constexpr HINSTANCE SE_ERR_DLLNOTFOUND = 32;
// What a request that was accepted returns: any value above 32.
inline constexpr HINSTANCE kAccepted = 42;

inline constexpr std::uint32_t SEE_MASK_INVOKEIDLIST = 0x0C;
inline constexpr std::uint32_t SEE_MASK_NOCLOSEPROCESS = 0x40;
inline constexpr std::uint32_t SEE_MASK_FLAG_NO_UI = 0x400;
inline constexpr DWORD NORMAL_PRIORITY_CLASS = 0x20;
inline constexpr DWORD STARTF_USESHOWWINDOW = 1;

struct SHELLEXECUTEINFO {
  DWORD cbSize = 0;
  std::uint32_t fMask = 0;
  HWND hwnd = 0;
  std::string lpVerb;
  std::string lpFile;
  std::string lpParameters;
  std::string lpDirectory;
  int nShow = 0;
  HINSTANCE hInstApp = 0;
  HANDLE hProcess = 0;
};

struct WIN32_FIND_DATA {
  DWORD dwFileAttributes = 0;
  std::string cFileName;
};

struct SECURITY_ATTRIBUTES {
  DWORD nLength = 0;
  const void* lpSecurityDescriptor = nullptr;
  BOOL bInheritHandle = 0;
};

struct STARTUPINFO {
  DWORD cb = 0;
  DWORD dwFlags = 0;
  std::uint16_t wShowWindow = 0;
};

struct PROCESS_INFORMATION {
  HANDLE hProcess = 0;
  HANDLE hThread = 0;
  DWORD dwProcessId = 0;
  DWORD dwThreadId = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // Performs `verb` ("open" when null or empty) on a file, folder or address. `parameters` and
  // `directory` may be null.
  virtual HINSTANCE ShellExecute(HWND owner, const char* verb, const std::string& file,
                                 const char* parameters, const char* directory, int show) = 0;
  virtual BOOL ShellExecuteEx(SHELLEXECUTEINFO* info) = 0;
  virtual HANDLE FindFirstFile(const std::string& pattern, WIN32_FIND_DATA* found) = 0;
  virtual BOOL FindClose(HANDLE search) = 0;
  virtual BOOL CreateProcess(const char* applicationName, const std::string& commandLine,
                             const SECURITY_ATTRIBUTES* process, const SECURITY_ATTRIBUTES* thread,
                             BOOL inheritHandles, DWORD creationFlags, const void* environment,
                             const char* currentDirectory, const STARTUPINFO* startup,
                             PROCESS_INFORMATION* information) = 0;
  virtual DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) = 0;
  virtual BOOL CloseHandle(HANDLE handle) = 0;
};

// The calls in use: the Linux ones unless a ScopedShell has replaced them.
Shell& Current();

using ScopedShell = platform::Seam<Shell>::Scope;

}  // namespace shell
