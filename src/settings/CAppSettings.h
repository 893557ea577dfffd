#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "errors/ErrorRecord.h"
#include "settings/SettingValue.h"

namespace settings {

// Names listed by GetAllKeys, numbered from 1 in the order the registry enumerates them.
class KeyList {
 public:
  int LBound() const noexcept { return 1; }
  int UBound() const noexcept { return static_cast<int>(names_.size()); }
  const std::string& operator()(int index) const {
    return names_.at(static_cast<std::size_t>(index - 1));
  }
  bool Empty() const noexcept { return names_.empty(); }
  void Clear() noexcept { names_.clear(); }
  void Append(std::string name) { names_.push_back(std::move(name)); }

 private:
  std::vector<std::string> names_;
};

// Named settings of one application in the registry, at
// RootKey\MainBranch\CompanyName\AppName\Section, value Key. Nothing is cached: every operation
// opens (or creates) the section's key and closes it before it returns.
class CAppSettings {
 public:
  static constexpr const char* kSource = "Scourwell.CAppSettings";
  static constexpr std::int32_t kInvalidAppName = errors::ClassErrorNumber(17021);
  static constexpr std::int32_t kInvalidCompanyName = errors::ClassErrorNumber(17022);
  static constexpr std::int32_t kInvalidMainBranch = errors::ClassErrorNumber(17023);
  static constexpr std::int32_t kInvalidRootKey = errors::ClassErrorNumber(17024);
  static constexpr std::int32_t kFailedSaving = errors::ClassErrorNumber(17025);
  static constexpr std::int32_t kFailedDeleting = errors::ClassErrorNumber(17026);
  static constexpr std::int32_t kFailedGettingKeys = errors::ClassErrorNumber(17027);
  static constexpr std::int32_t kComponentFailure = errors::ClassErrorNumber(17028);

  static constexpr std::int32_t HKEY_CURRENT_USER = static_cast<std::int32_t>(0x80000001u);
  static constexpr std::int32_t HKEY_LOCAL_MACHINE = static_cast<std::int32_t>(0x80000002u);

  void Init(const std::string& companyName, const std::string& appName);
  const std::string& AppName() const noexcept { return appName_; }
  void SetAppName(const std::string& value);
  const std::string& CompanyName() const noexcept { return companyName_; }
  void SetCompanyName(const std::string& value);
  const std::string& MainBranch() const noexcept { return mainBranch_; }
  void SetMainBranch(const std::string& value);
  std::int32_t RootKey() const noexcept { return rootKey_; }
  void SetRootKey(std::int32_t value);

  // Removes the section's key, or with a Key its subkey of that name.
  void DeleteSetting(const std::string& section, const std::string& key = "");
  // The value names of the section.
  void GetAllKeys(const std::string& section, KeyList& keys);
  // The stored value, or `defaultValue` when the section, the value or a usable type is missing.
  SettingValue GetSetting(const std::string& section, const std::string& key,
                          const SettingValue& defaultValue = SettingValue::Text(""));
  // Text, dates and booleans are stored as text, everything else as a 32-bit integer.
  void SaveSetting(const std::string& section, const std::string& key, const SettingValue& setting);

 private:
  std::string SectionPath(const std::string& section) const;

  std::int32_t rootKey_ = HKEY_LOCAL_MACHINE;
  std::string mainBranch_ = "Software";
  std::string companyName_ = "MyCompany";
  std::string appName_ = "MyApplication";
};

}  // namespace settings
