#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "errors/ErrorRecord.h"
#include "platform/shell/Shell.h"

namespace shell {

// Hands addresses, mail messages, folders, documents and programs to the desktop's shell.
// Every failure is raised as an error record with the source "Scourwell.CShell".
class CShell {
 public:
  static constexpr const char* kSource = "Scourwell.CShell";
  static constexpr std::int32_t kFileNotFound = errors::ClassErrorNumber(18041);
  static constexpr std::int32_t kPathNotFound = errors::ClassErrorNumber(18042);
  static constexpr std::int32_t kOutOfMemory = errors::ClassErrorNumber(18044);
  static constexpr std::int32_t kDllNotFound = errors::ClassErrorNumber(18045);
  static constexpr std::int32_t kSharingViolation = errors::ClassErrorNumber(18046);
  static constexpr std::int32_t kAssociationIncomplete = errors::ClassErrorNumber(18047);
  static constexpr std::int32_t kDdeTimeout = errors::ClassErrorNumber(18048);
  static constexpr std::int32_t kDdeFailed = errors::ClassErrorNumber(18049);
  static constexpr std::int32_t kDdeBusy = errors::ClassErrorNumber(18050);
  static constexpr std::int32_t kNoAssociation = errors::ClassErrorNumber(18051);
  static constexpr std::int32_t kBadExe = errors::ClassErrorNumber(18052);
  static constexpr std::int32_t kCannotCreateProcess = errors::ClassErrorNumber(18053);
  static constexpr std::int32_t kCannotShowProperties = errors::ClassErrorNumber(18054);
  static constexpr std::int32_t kComponentFailure = errors::ClassErrorNumber(18055);

  void CreateNewMailMessage(const std::string& recipientAddress,
                            const std::string& ccRecipientAddress = "",
                            const std::string& subject = "", const std::string& body = "");
  void ExploreFolder(const std::string& folderName);
  void LaunchProgram(const std::string& pathFileName, const std::string& parameters = "",
                     bool waitToFinish = false, const std::string& startDirectory = "");
  void OpenDocument(const std::string& pathFileName);
  void OpenFolder(const std::string& folderName);
  void OpenUrl(const std::string& url);
  void ShowProperties(const std::string& pathFileName, HWND hWndOwner = 0);

  // The mail address CreateNewMailMessage hands to the shell.
  static std::string MailAddress(const std::string& recipient, const std::string& cc,
                                 const std::string& subject, const std::string& body);

 private:
  enum class Table { kFull, kShort };

  static void ApplyResultTable(HINSTANCE result, Table table);
  static bool FileExists(const std::string& pathFileName);
  static std::string GetFileName(const std::string& pathFileName, const std::string& delimiter);
  static std::string GetMachineString(const std::string& keyName, const std::string& valueName);
  static std::optional<std::string> QueryStringValue(std::uintptr_t key,
                                                     const std::string& valueName);
  static std::string TrimAtNull(const std::string& text);
  // The folder part of a path (ending with its separator), or nothing without one.
  static std::optional<std::string> WorkingFolder(const std::string& pathFileName);
};

}  // namespace shell
