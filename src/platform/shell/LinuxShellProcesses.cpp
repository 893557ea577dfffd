// The shell stand-in's processes: started from an argument vector, waited for through their
// handles, and collected when no one waits.
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/shell/CommandLine.h"
#include "platform/shell/LinuxShell.h"
#include "platform/shell/Spawn.h"

namespace shell {

LinuxShell::~LinuxShell() { Reap(); }

void LinuxShell::Reap() {
  std::erase_if(unreaped_, [](pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) != 0;
  });
}

HANDLE LinuxShell::NewHandle(Handle handle) {
  nextHandle_ += 4;
  handles_.emplace(nextHandle_, handle);
  return nextHandle_;
}

BOOL LinuxShell::CreateProcess(const char* applicationName, const std::string& commandLine,
                               const SECURITY_ATTRIBUTES* /*process*/,
                               const SECURITY_ATTRIBUTES* /*thread*/, BOOL /*inheritHandles*/,
                               DWORD /*creationFlags*/, const void* /*environment*/,
                               const char* currentDirectory, const STARTUPINFO* /*startup*/,
                               PROCESS_INFORMATION* information) {
  Reap();
  std::vector<std::string> argv;
  if (applicationName != nullptr) {
    const auto program = FindProgram(applicationName);
    if (!program) {
      return 0;
    }
    argv = SplitArguments(commandLine);
    argv.insert(argv.begin(), program->string());
    if (argv.size() > 1) {
      argv.erase(argv.begin() + 1);  // the command line's own first word names the program
    }
  } else {
    argv = ResolveCommandLine(commandLine);  // an unquoted path with blanks: prefix by prefix
  }
  if (argv.empty()) {
    return 0;
  }
  const std::string directory = currentDirectory != nullptr ? currentDirectory : "";
  std::error_code error;
  if (!directory.empty() && !std::filesystem::is_directory(directory, error)) {
    return 0;
  }
  const std::optional<pid_t> pid = Spawn(argv, directory);
  if (!pid) {
    return 0;
  }
  if (information != nullptr) {
    information->hProcess = NewHandle({Handle::kProcess, *pid});
    information->hThread = NewHandle({Handle::kThread, *pid});
    information->dwProcessId = static_cast<DWORD>(*pid);
    information->dwThreadId = static_cast<DWORD>(*pid);
  } else {
    unreaped_.push_back(*pid);
  }
  return 1;
}

DWORD LinuxShell::WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  const auto found = handles_.find(handle);
  if (found == handles_.end() || found->second.kind != Handle::kProcess) {
    return WAIT_FAILED;
  }
  Handle& process = found->second;
  if (process.ended) {
    return WAIT_OBJECT_0;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (true) {
    int status = 0;
    const pid_t done = ::waitpid(process.pid, &status, milliseconds == INFINITE ? 0 : WNOHANG);
    if (done == process.pid) {
      process.ended = true;
      return WAIT_OBJECT_0;
    }
    if (done < 0 && errno != EINTR) {
      return WAIT_FAILED;
    }
    if (milliseconds != INFINITE) {
      if (std::chrono::steady_clock::now() >= deadline) {
        return 0x102;  // WAIT_TIMEOUT
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
}

BOOL LinuxShell::CloseHandle(HANDLE handle) {
  const auto found = handles_.find(handle);
  if (found == handles_.end()) {
    return 0;
  }
  if (found->second.kind == Handle::kProcess && !found->second.ended) {
    unreaped_.push_back(found->second.pid);  // collected once it ends
  }
  handles_.erase(found);
  return 1;
}

}  // namespace shell
