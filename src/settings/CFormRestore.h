#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "errors/ErrorRecord.h"
#include "platform/windowing/Windowing.h"

namespace settings {

class CAppSettings;
class FormObject;

// Remembers where a window was and in which state it was left, in the settings store, section
// KeyName\<window name>, and puts it back there; centres it when nothing is stored.
class CFormRestore {
 public:
  static constexpr const char* kSource = "Scourwell.CFormRestore";
  static constexpr std::int32_t kNotInitialized = errors::ClassErrorNumber(17561);
  static constexpr std::int32_t kInvalidAppSettings = errors::ClassErrorNumber(17562);
  static constexpr std::int32_t kInvalidKeyName = errors::ClassErrorNumber(17563);
  static constexpr std::int32_t kComponentFailure = errors::ClassErrorNumber(17564);

  void Init(std::shared_ptr<CAppSettings> appSettings, bool centeredByDefault = true);
  const std::shared_ptr<CAppSettings>& AppSettings() const noexcept { return appSettings_; }
  void SetAppSettings(std::shared_ptr<CAppSettings> value);
  bool CenteredByDefault() const noexcept { return centeredByDefault_; }
  void SetCenteredByDefault(bool value) noexcept { centeredByDefault_ = value; }
  const std::string& KeyName() const noexcept { return keyName_; }
  void SetKeyName(const std::string& value);
  bool NeverStartMinimized() const noexcept { return neverStartMinimized_; }
  void SetNeverStartMinimized(bool value) noexcept { neverStartMinimized_ = value; }

  // Restores the window's placement; call it while the window is still hidden.
  void GetPosition(FormObject& form);
  // Stores the window's placement; call it while the window still exists.
  void SavePosition(FormObject& form);

 private:
  void CenterPlacement(windowing::WINDOWPLACEMENT& placement);

  std::shared_ptr<CAppSettings> appSettings_;
  bool centeredByDefault_ = true;
  bool neverStartMinimized_ = false;
  std::string keyName_ = "Windows settings";
};

// The leading number of a text (leading blanks skipped; no number gives 0), as the stored
// placement values are read.
double Val(const std::string& text);

}  // namespace settings
