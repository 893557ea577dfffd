// The copy kept before a purge: where it goes, writing it, and the finish page's link to it.
#include "errors/ObjectRequired.h"
#include "errors/Procedure.h"
#include "platform/text/AsciiCase.h"
#include "wizard/FMain.h"
#include "wizardcore/KeepCopy.h"

namespace wizard {

std::optional<std::filesystem::path> FMain::KeptCopyFolder() {
  // Unset or unreadable settings keep a copy in the default folder: the safe side.
  bool keep = true;
  std::string folder;
  errors::CaptureError([&] {
    const settings::SettingValue value =
        errors::Object(AppSettings)
            .GetSetting("General", "KeepCopy", settings::SettingValue::Text("1"));
    if (value.IsText()) {
      for (const char* off : {"0", "no", "false", "off"}) {
        keep = keep && !text::AsciiEqualNoCase(value.AsText(), off);
      }
    }
  });
  if (!keep) {
    return std::nullopt;
  }
  errors::CaptureError([&] {
    const settings::SettingValue value =
        errors::Object(AppSettings)
            .GetSetting("General", "KeepCopyFolder", settings::SettingValue::Text(""));
    folder = value.IsText() ? value.AsText() : std::string();
  });
  // Only a whole path says where: a relative one would depend on where the program started.
  if (folder.empty() || folder.front() != '/') {
    return wizardcore::KeptFolder();
  }
  return std::filesystem::path(folder);
}

bool FMain::KeepCopyBeforePurge() {
  keptPath_.clear();
  lblKeptCopy.hide();
  const std::optional<std::filesystem::path> folder = KeptCopyFolder();
  if (!folder || listed_.Selected().checked == 0) {
    return true;
  }
  host_.ShowNowPurging("Keeping a copy of what the purge destroys:");
  wizardcore::KeepContext context{txtVssDb.text().toStdString(), txtLoginName.text().toStdString()};
  if (const errors::CapturedError error = errors::CaptureError(
          [&] { keptPath_ = wizardcore::KeepCopy(host_, listed_, context, *folder).string(); })) {
    host_.Log("scourwell: " + error.description);
    lblSummary.setText(QString::fromStdString(error.description));
    lblSummary.show();
    txtOutcomes.hide();
    lblReport.hide();
    return false;
  }
  lblKeptCopy.setText(QStringLiteral("Open the copy kept before the purge (%1)")
                          .arg(QString::fromStdString(keptPath_)));
  lblKeptCopy.setToolTip(QString::fromStdString(keptPath_));
  lblKeptCopy.show();
  return true;
}

void FMain::lblKeptCopy_Click() { OpenFileLink("Scourwell.FMain.lblKeptCopy_Click", keptPath_); }

}  // namespace wizard
