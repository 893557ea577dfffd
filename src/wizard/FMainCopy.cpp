// The copy kept before a purge: where it goes, writing it, and the finish page's link to it.
#include "errors/ObjectRequired.h"
#include "errors/Procedure.h"
#include "platform/translation/Tr.h"
#include "wizard/FMain.h"
#include "wizardcore/KeepCopy.h"

namespace wizard {

using translation::Tr;

std::optional<std::filesystem::path> FMain::KeptCopyFolder() {
  // Unset or unreadable settings keep a copy in the default folder: the safe side.
  const auto setting = [&](const char* key) {
    std::string text;
    errors::CaptureError([&] {
      const settings::SettingValue value =
          errors::Object(AppSettings).GetSetting("General", key, settings::SettingValue::Text(""));
      text = value.IsText() ? value.AsText() : std::string();
    });
    return text;
  };
  return wizardcore::KeepCopyFolderFrom(setting("KeepCopy"), setting("KeepCopyFolder"));
}

void FMain::ShowKeptCopy(const std::string& path) {
  keptPath_ = path;
  lblKeptCopy.setText(Tr("FMain", "Open the copy kept before the purge (%1)").FillQ(keptPath_));
  lblKeptCopy.setToolTip(QString::fromStdString(keptPath_));
  lblKeptCopy.setVisible(!keptPath_.empty());
}

void FMain::lblKeptCopy_Click() { OpenFileLink("Scourwell.FMain.lblKeptCopy_Click", keptPath_); }

}  // namespace wizard
