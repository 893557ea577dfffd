// The window's life: the settings store when it is made, its placement and the remembered login
// when it loads, its placement again when it unloads.
#include "errors/ObjectRequired.h"
#include "errors/Procedure.h"
#include "platform/windowing/QtWindowing.h"
#include "settings/SettingsFile.h"
#include "wizard/FMain.h"

namespace wizard {
namespace {

// A setting read back for a text box: text as stored, a number as its decimal text.
QString TextOf(const settings::SettingValue& value) {
  if (value.IsText()) {
    return QString::fromStdString(value.AsText());
  }
  return QString::number(static_cast<qint64>(value.AsNumber()));
}

}  // namespace

void FMain::Form_Initialize() {
  errors::Procedure proc("Scourwell.FMain.Form_Initialize", report_);
  proc.Do(100, [&] { AppSettings = std::make_shared<settings::CAppSettings>(); });
  proc.Do(101, [&] { errors::Object(AppSettings).Init("Pellbrook", "Scourwell"); });
  proc.Do(102, [&] {
    errors::Object(AppSettings).SetRootKey(settings::CAppSettings::HKEY_CURRENT_USER);
  });
}

void FMain::Form_Load() {
  errors::Procedure proc("Scourwell.FMain.Form_Load", report_);
  proc.Do(100, [&] { FormRestore = std::make_shared<settings::CFormRestore>(); });
  proc.Do(101, [&] { errors::Object(FormRestore).Init(AppSettings, true); });
  proc.Do(102, [&] { errors::Object(FormRestore).GetPosition(*this); });
  proc.Do(103, [&] {
    txtLoginName.setText(
        TextOf(errors::Object(AppSettings)
                   .GetSetting("General", "LoginName", settings::SettingValue::Text("Admin"))));
  });
  proc.Do(104, [&] {
    txtVssDb.setText(
        TextOf(errors::Object(AppSettings)
                   .GetSetting("General", "VssDb",
                               settings::SettingValue::Text(DefaultDatabasePath().toStdString()))));
  });
  proc.Do(105, [&] { WizardStep = 1; });
  proc.Do(106, [&] { SetControls(); });
}

void FMain::Form_Unload(int& /*cancel*/) {
  errors::Procedure proc("Scourwell.FMain.Form_Unload", report_);
  proc.Do(100, [&] {
    settings::NamingTheSettingsFile([&] { errors::Object(FormRestore).SavePosition(*this); });
  });
}

windowing::HWND FMain::hWnd() const { return windowing::QtWindowing::HandleOf(*this); }

void FMain::SetWindowState(WindowState state) {
  switch (state) {
    case kMinimized:
      setWindowState(Qt::WindowMinimized);
      break;
    case kMaximized:
      setWindowState(Qt::WindowMaximized);
      break;
    default:
      setWindowState(Qt::WindowNoState);
      break;
  }
}

}  // namespace wizard
