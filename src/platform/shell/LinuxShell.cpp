#include "platform/shell/LinuxShell.h"

#include <sys/wait.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/registry/Registry.h"
#include "platform/shell/CommandLine.h"
#include "platform/shell/Spawn.h"
#include "platform/text/AsciiCase.h"

namespace shell {
namespace {

std::string Lower(std::string text) { return text::AsciiLower(std::move(text)); }

bool IsAddress(const std::string& file) {
  const std::string lower = Lower(file);
  for (const char* scheme : {"http:", "https:", "mailto:", "file:"}) {
    if (lower.rfind(scheme, 0) == 0) {
      return true;
    }
  }
  return false;
}

// The default value of HKLM\<path>, when it is text.
std::optional<std::string> MachineText(const std::string& path) {
  registry::Key key;
  if (registry::RegOpenKeyEx(registry::HKEY_LOCAL_MACHINE, path, 0, registry::KEY_READ,
                             key.Receive()) != registry::ERROR_SUCCESS) {
    return std::nullopt;
  }
  registry::DWORD type = 0;
  registry::DWORD size = 0;
  if (registry::RegQueryValueEx(key.Get(), "", nullptr, &type, nullptr, &size) !=
          registry::ERROR_SUCCESS ||
      (type != registry::REG_SZ && type != registry::REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  std::string text(size, '\0');
  if (registry::RegQueryValueEx(key.Get(), "", nullptr, &type,
                                reinterpret_cast<unsigned char*>(text.data()),
                                &size) != registry::ERROR_SUCCESS) {
    return std::nullopt;
  }
  return text.substr(0, text.find('\0'));
}

// The command that the file's type names for `verb`, as an argument vector with %1 replaced.
std::optional<std::vector<std::string>> AssociatedCommand(const std::filesystem::path& file,
                                                          const std::string& verb) {
  const std::string extension = file.extension().string();
  if (extension.empty()) {
    return std::nullopt;
  }
  const std::optional<std::string> type = MachineText("SOFTWARE\\Classes\\" + extension);
  if (!type || type->empty()) {
    return std::nullopt;
  }
  const std::optional<std::string> command =
      MachineText("SOFTWARE\\Classes\\" + *type + "\\shell\\" + verb + "\\command");
  if (!command || command->empty()) {
    return std::nullopt;
  }
  std::vector<std::string> argv = ResolveCommandLine(*command);
  if (argv.empty()) {
    return std::vector<std::string>{};  // associated, but its program is missing
  }
  for (std::string& argument : argv) {
    for (std::size_t at = argument.find("%1"); at != std::string::npos;
         at = argument.find("%1", at + file.string().size())) {
      argument.replace(at, 2, file.string());
    }
  }
  return argv;
}

bool FileManagerCall(const char* method, const std::filesystem::path& path) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    return false;
  }
  QDBusInterface manager(QStringLiteral("org.freedesktop.FileManager1"),
                         QStringLiteral("/org/freedesktop/FileManager1"),
                         QStringLiteral("org.freedesktop.FileManager1"), bus);
  if (!manager.isValid()) {
    return false;
  }
  manager.setTimeout(3000);
  const QString uri = QUrl::fromLocalFile(QString::fromStdString(path.string())).toString();
  const QDBusMessage reply = manager.call(QString::fromLatin1(method), QStringList{uri}, QString());
  return reply.type() == QDBusMessage::ReplyMessage;
}

HINSTANCE CodeOfSpawnError(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return SE_ERR_ACCESSDENIED;
    case ENOEXEC:
      return ERROR_BAD_FORMAT;
    case ENOMEM:
      return SE_ERR_OOM;
    case ENOTDIR:
      return SE_ERR_PNF;
    default:
      return SE_ERR_FNF;
  }
}

}  // namespace

HINSTANCE LinuxShell::RunHandler(const std::vector<std::string>& argv, const std::string& directory,
                                 bool isXdgOpen) {
  const std::optional<pid_t> pid = Spawn(argv, directory);
  if (!pid) {
    return CodeOfSpawnError(errno);
  }
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kHandlerWaitMs);
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    const pid_t done = ::waitpid(*pid, &status, WNOHANG);
    if (done == *pid) {
      if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        return kAccepted;
      }
      if (isXdgOpen && WIFEXITED(status) && WEXITSTATUS(status) == 2) {
        return SE_ERR_FNF;
      }
      if (isXdgOpen && WIFEXITED(status) && WEXITSTATUS(status) == 3) {
        return SE_ERR_NOASSOC;
      }
      return SE_ERR_DDEFAIL;
    }
    if (done < 0 && errno != EINTR) {
      return SE_ERR_DDEFAIL;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  unreaped_.push_back(*pid);  // still busy: it has taken the request
  return kAccepted;
}

HINSTANCE LinuxShell::XdgOpen(const std::string& target) {
  const std::optional<std::filesystem::path> xdgOpen = FindProgram("xdg-open");
  if (!xdgOpen) {
    return SE_ERR_NOASSOC;
  }
  return RunHandler({xdgOpen->string(), target}, "", true);
}

HINSTANCE LinuxShell::ShellExecute(HWND /*owner*/, const char* verb, const std::string& file,
                                   const char* parameters, const char* directory, int /*show*/) {
  Reap();
  const std::string action = Lower(verb != nullptr && *verb != '\0' ? verb : "open");
  if (IsAddress(file)) {
    return action == "open" ? XdgOpen(file) : SE_ERR_NOASSOC;
  }
  const std::filesystem::path path(file);
  std::error_code error;
  if (file.empty() || !std::filesystem::exists(path, error)) {
    const std::filesystem::path folder = path.parent_path();
    return folder.empty() || std::filesystem::is_directory(folder, error) ? SE_ERR_FNF : SE_ERR_PNF;
  }
  const std::string workingFolder = directory != nullptr ? directory : "";
  if (const auto command = AssociatedCommand(path, action)) {
    return command->empty() ? SE_ERR_ASSOCINCOMPLETE : RunHandler(*command, workingFolder, false);
  }
  if (action == "open") {
    if (std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0) {
      std::vector<std::string> argv{path.string()};
      for (std::string& argument : SplitArguments(parameters != nullptr ? parameters : "")) {
        argv.push_back(std::move(argument));
      }
      const std::optional<pid_t> pid = Spawn(argv, workingFolder);
      if (!pid) {
        return CodeOfSpawnError(errno);
      }
      unreaped_.push_back(*pid);
      return kAccepted;
    }
    return XdgOpen(file);
  }
  if (action == "explore") {
    if (!std::filesystem::is_directory(path, error)) {
      return SE_ERR_NOASSOC;
    }
    return FileManagerCall("ShowFolders", std::filesystem::absolute(path, error)) ? kAccepted
                                                                                  : XdgOpen(file);
  }
  return SE_ERR_NOASSOC;
}

BOOL LinuxShell::ShellExecuteEx(SHELLEXECUTEINFO* info) {
  if (info == nullptr) {
    return 0;
  }
  if (Lower(info->lpVerb) != "properties") {
    info->hInstApp =
        ShellExecute(info->hwnd, info->lpVerb.c_str(), info->lpFile, info->lpParameters.c_str(),
                     info->lpDirectory.c_str(), info->nShow);
    return info->hInstApp > 32 ? 1 : 0;
  }
  std::error_code error;
  if (!std::filesystem::exists(info->lpFile, error)) {
    info->hInstApp = SE_ERR_FNF;
    return 0;
  }
  const bool shown =
      FileManagerCall("ShowItemProperties", std::filesystem::absolute(info->lpFile, error));
  info->hInstApp = shown ? kAccepted : SE_ERR_NOASSOC;
  return shown ? 1 : 0;
}

Shell& Current() { return platform::Seam<Shell>::Current<LinuxShell>(); }

}  // namespace shell
