#include "shell/CShell.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <stdexcept>

#include "errors/ClassFailure.h"
#include "platform/registry/Registry.h"
#include "platform/windowing/Windowing.h"
#include "shell/VerbChoice.h"

namespace shell {
namespace {

// The separator of folder names in a path on this platform.
constexpr char kSeparator = '/';

using Errors = errors::ClassErrors<CShell>;

// Character positions are 16-bit values: a longer text is a failure of the component.
void CheckPositions(const std::string& text) {
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) {
    throw std::length_error("text longer than 32767 characters");
  }
}

}  // namespace

void CShell::ApplyResultTable(HINSTANCE result, Table table) {
  const bool full = table == Table::kFull;
  switch (result) {
    case SE_ERR_FNF:
    case SE_ERR_ACCESSDENIED:
      if (full) Errors::Raise(kFileNotFound, "File not found");
      break;
    case SE_ERR_PNF:
      if (full) Errors::Raise(kPathNotFound, "Path not found");
      break;
    case SE_ERR_OOM:
      Errors::Raise(kOutOfMemory, "Out of memory");
    case ERROR_BAD_FORMAT:
      if (full) Errors::Raise(kBadExe, "Invalid EXE file or error in EXE image");
      break;
    case SE_ERR_SHARE:
      Errors::Raise(kSharingViolation, "A sharing violation occurred");
    case SE_ERR_ASSOCINCOMPLETE:
      if (full) Errors::Raise(kAssociationIncomplete, "Incomplete or invalid file association");
      break;
    case SE_ERR_DDETIMEOUT:
      Errors::Raise(kDdeTimeout, "DDE timeout");
    case SE_ERR_DDEFAIL:
      Errors::Raise(kDdeFailed, "DDE transaction failed");
    case SE_ERR_DDEBUSY:
      Errors::Raise(kDdeBusy, "DDE busy");
    case SE_ERR_NOASSOC:
      if (full) Errors::Raise(kNoAssociation, "No association for file extension");
      break;
    case SE_ERR_DLLNOTFOUND:
      if (full) Errors::Raise(kDllNotFound, "DLL not found");
      break;
    default:
      break;  // 0, above 32 and every other code end the request without error
  }
}

std::string CShell::MailAddress(const std::string& recipient, const std::string& cc,
                                const std::string& subject, const std::string& body) {
  std::string address = "mailto:" + recipient;
  char separator = '?';
  const auto header = [&](const char* name, const std::string& value) {
    if (!value.empty()) {
      address += separator;
      address += name;
      address += '=';
      address += value;  // inserted as it is: nothing is escaped
      separator = '&';
    }
  };
  header("subject", subject);
  header("cc", cc);
  header("body", body);
  return address;
}

void CShell::CreateNewMailMessage(const std::string& recipientAddress,
                                  const std::string& ccRecipientAddress, const std::string& subject,
                                  const std::string& body) {
  Errors::Guarded([&] {
    const std::string address = MailAddress(recipientAddress, ccRecipientAddress, subject, body);
    ApplyResultTable(Current().ShellExecute(windowing::GetDesktopWindow(), "open", address, nullptr,
                                            nullptr, SW_SHOWNORMAL),
                     Table::kShort);
  });
}

void CShell::OpenUrl(const std::string& url) {
  Errors::Guarded([&] {
    ApplyResultTable(Current().ShellExecute(windowing::GetDesktopWindow(), "open", url, nullptr,
                                            nullptr, SW_SHOWNORMAL),
                     Table::kShort);
  });
}

void CShell::OpenFolder(const std::string& folderName) {
  Errors::Guarded([&] {
    ApplyResultTable(Current().ShellExecute(windowing::GetDesktopWindow(), "open", folderName,
                                            nullptr, nullptr, SW_SHOWNORMAL),
                     Table::kFull);
  });
}

void CShell::ExploreFolder(const std::string& folderName) {
  Errors::Guarded([&] {
    ApplyResultTable(Current().ShellExecute(windowing::GetDesktopWindow(), "explore", folderName,
                                            nullptr, nullptr, SW_SHOWNORMAL),
                     Table::kFull);
  });
}

void CShell::ShowProperties(const std::string& pathFileName, HWND hWndOwner) {
  Errors::Guarded([&] {
    if (!FileExists(pathFileName)) {
      Errors::Raise(kFileNotFound, "File not found");
    }
    SHELLEXECUTEINFO info;
    info.cbSize = 60;
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = hWndOwner != 0 ? hWndOwner : windowing::GetDesktopWindow();
    info.lpVerb = "properties";
    info.lpFile = pathFileName;
    info.nShow = 0;
    info.hInstApp = 0;
    Current().ShellExecuteEx(&info);  // its own result is not what counts
    if (info.hInstApp <= 32) {
      Errors::Raise(kCannotShowProperties, "Cannot show properties");
    }
  });
}

void CShell::LaunchProgram(const std::string& pathFileName, const std::string& parameters,
                           bool waitToFinish, const std::string& startDirectory) {
  Errors::Guarded([&] {
    if (!FileExists(pathFileName)) {
      Errors::Raise(kFileNotFound, "File not found");
    }
    if (waitToFinish) {
      // The space is always there; nothing is quoted.
      const std::string commandLine = pathFileName + " " + parameters;
      const SECURITY_ATTRIBUTES process{12, nullptr, 0};
      const SECURITY_ATTRIBUTES thread{12, nullptr, 0};
      STARTUPINFO startup;
      startup.cb = 68;
      startup.dwFlags = STARTF_USESHOWWINDOW;
      startup.wShowWindow = SW_SHOWNORMAL;
      PROCESS_INFORMATION information;
      const char emptyEnvironment = 0;
      if (Current().CreateProcess(nullptr, commandLine, &process, &thread, 0, NORMAL_PRIORITY_CLASS,
                                  &emptyEnvironment, startDirectory.c_str(), &startup,
                                  &information) == 0) {
        Errors::Raise(kCannotCreateProcess, "Cannot create process");
      }
      Current().WaitForSingleObject(information.hProcess, INFINITE);
      Current().CloseHandle(information.hThread);
      Current().CloseHandle(information.hProcess);
      return;
    }
    const std::optional<std::string> folder = WorkingFolder(pathFileName);
    ApplyResultTable(Current().ShellExecute(windowing::GetDesktopWindow(), "open", pathFileName,
                                            parameters.c_str(), folder ? folder->c_str() : nullptr,
                                            SW_SHOWNORMAL),
                     Table::kFull);
  });
}

void CShell::OpenDocument(const std::string& pathFileName) {
  Errors::Guarded([&] {
    if (!FileExists(pathFileName)) {
      Errors::Raise(kFileNotFound, "File not found");
    }
    CheckPositions(pathFileName);
    std::string verb = "open";
    const std::size_t point = pathFileName.rfind('.');
    if (point != std::string::npos) {
      const std::string extension = pathFileName.substr(point);
      const std::string fileType =
          TrimAtNull(GetMachineString("SOFTWARE\\Classes\\" + extension, ""));
      if (!fileType.empty()) {
        const std::string shellKey = "SOFTWARE\\Classes\\" + fileType + "\\Shell";
        verb = TrimAtNull(GetMachineString(shellKey, ""));
        if (verb.empty()) {
          registry::Key key;
          if (registry::RegOpenKeyEx(registry::HKEY_LOCAL_MACHINE, shellKey, 0, 0x3F,
                                     key.Receive()) == registry::ERROR_SUCCESS) {
            verb = ChooseVerb([&](registry::DWORD index, std::string& name) {
              name.assign(2048, '\0');
              const registry::LONG result =
                  registry::RegEnumKey(key.Get(), index, name.data(), 2048);
              name = TrimAtNull(name);
              return result;
            });
          }
        }
      }
    }
    const std::optional<std::string> folder = WorkingFolder(pathFileName);
    ApplyResultTable(
        Current().ShellExecute(windowing::GetDesktopWindow(), verb.empty() ? nullptr : verb.c_str(),
                               pathFileName, "", folder ? folder->c_str() : nullptr, SW_SHOWNORMAL),
        Table::kFull);
  });
}

bool CShell::FileExists(const std::string& pathFileName) {
  WIN32_FIND_DATA found;
  const HANDLE search = Current().FindFirstFile(pathFileName, &found);
  if (search == INVALID_HANDLE_VALUE) {
    return false;
  }
  if (Current().FindClose(search) == 0) {
    Errors::Raise(kComponentFailure, "CShell component failure");
  }
  return true;
}

std::string CShell::GetFileName(const std::string& pathFileName, const std::string& delimiter) {
  CheckPositions(pathFileName);
  const std::size_t last = delimiter.empty() ? std::string::npos : pathFileName.rfind(delimiter);
  return last == std::string::npos ? pathFileName : pathFileName.substr(last + delimiter.size());
}

std::optional<std::string> CShell::WorkingFolder(const std::string& pathFileName) {
  if (pathFileName.find(kSeparator) == std::string::npos) {
    return std::nullopt;
  }
  const std::string name = GetFileName(pathFileName, std::string(1, kSeparator));
  return pathFileName.substr(0, pathFileName.size() - name.size());
}

std::string CShell::TrimAtNull(const std::string& text) { return text.substr(0, text.find('\0')); }

std::optional<std::string> CShell::QueryStringValue(std::uintptr_t key,
                                                    const std::string& valueName) {
  try {
    registry::DWORD type = 0;
    registry::DWORD size = 0;
    if (registry::RegQueryValueEx(key, valueName, nullptr, &type, nullptr, &size) !=
        registry::ERROR_SUCCESS) {
      return std::nullopt;
    }
    if (type != registry::REG_SZ) {
      return std::nullopt;
    }
    std::string buffer(size, '\0');
    if (registry::RegQueryValueEx(key, valueName, nullptr, &type,
                                  reinterpret_cast<unsigned char*>(buffer.data()),
                                  &size) != registry::ERROR_SUCCESS) {
      return std::nullopt;
    }
    return buffer.substr(0, size);  // the text with its terminating NUL
  } catch (...) {
    return std::nullopt;  // this routine raises nothing
  }
}

std::string CShell::GetMachineString(const std::string& keyName, const std::string& valueName) {
  registry::Key key;
  if (registry::RegOpenKeyEx(registry::HKEY_LOCAL_MACHINE, keyName, 0, 0x3F, key.Receive()) !=
      registry::ERROR_SUCCESS) {
    return "";
  }
  return QueryStringValue(key.Get(), valueName).value_or("");
}

}  // namespace shell
