#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <memory>
#include <string>
#include <vector>

#include "engines/ownformat/Schema.h"
#include "engines/ownformat/Session.h"
#include "errors/ErrorRecord.h"
#include "settings/CAppSettings.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"
#include "support/FakeDatabase.h"
#include "support/RecordingForms.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "wizard/FMain.h"

namespace wizard_test {

// When the search lists files that lie side by side under the root, the window's turn that
// follows the second entry: line 114 gives one before the search, then each file gives one when
// it is listed (line 105) and one when the walk has left it (line 111).
inline constexpr int kPumpAfterSecondEntry = 4;

// The window on a real database in a temporary folder, with boxes and pumps recorded.
class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sourcesafe::CreateDatabase(Dir());
    sourcesafe::OpenOptions current;  // no read-ahead: every look sees the wizard's changes
    current.readAheadLifetime = std::chrono::milliseconds(0);
    engine = sourcesafe::Session::Open(Dir(), "Admin", "", current);
  }

  std::string Dir() const { return (folder / "db").string(); }

  template <class Control>
  Control& Get(const char* name) {
    Control* control = window->findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return *control;
  }
  QString Text(const char* name) { return Get<QLabel>(name).text(); }
  QPushButton& Button(const char* name) { return Get<QPushButton>(name); }
  QTreeView& List() { return Get<QTreeView>("List1"); }
  // The rows the list shows, as the user sees them.
  int Rows() { return List().model()->rowCount(); }
  QModelIndex Row(int row) { return List().model()->index(row, 0); }
  std::string Spec(int row) { return Row(row).data().toString().toStdString(); }
  bool IsChecked(int row) { return Row(row).data(Qt::CheckStateRole).toInt() == Qt::Checked; }
  // A click on the row's check box.
  void SetChecked(int row, bool checked) {
    List().model()->setData(Row(row), checked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
  }
  // Checks the entries of `specs` and unchecks the others.
  void CheckOnly(const std::vector<std::string>& specs) {
    for (int row = 0; row < Rows(); ++row) {
      SetChecked(row, false);
    }
    for (const std::string& spec : specs) {
      SetChecked(RowOf(spec), true);
    }
  }
  int RowOf(const std::string& spec) {
    for (int row = 0; row < Rows(); ++row) {
      if (Spec(row) == spec) {
        return row;
      }
    }
    ADD_FAILURE() << spec << " is not listed";
    return -1;
  }
  bool Shown(const char* name) { return !Get<QWidget>(name).isHidden(); }

  void AddFile(const std::string& spec, const std::string& content = "") {
    engine->AddFile(spec, {reinterpret_cast<const unsigned char*>(content.data()), content.size()});
  }
  void Delete(const std::string& spec) { engine->Delete(engine->Find(spec, false)); }

  // Shows the window as the active one, so that its keyboard shortcuts work.
  void ShowActive() {
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  // Fills the login page and presses "List All >>".
  void ListAll(const std::string& path, const std::string& user = "Admin",
               const std::string& password = "") {
    Get<QLineEdit>("txtVssDb").setText(QString::fromStdString(path));
    Get<QLineEdit>("txtLoginName").setText(QString::fromStdString(user));
    Get<QLineEdit>("txtPassword").setText(QString::fromStdString(password));
    Button("cmdNext").click();
  }
  void ListAll() { ListAll(Dir()); }
  // Presses "Purge >>" and says yes to the question that comes before a purge.
  void Purge() {
    forms.answers.push_back(forms::vbYes);
    Button("cmdNext").click();
  }

  std::vector<std::string> Entries() {
    std::vector<std::string> entries;
    for (int row = 0; row < Rows(); ++row) {
      entries.push_back(Spec(row) + (IsChecked(row) ? "" : " (unchecked)"));
    }
    return entries;
  }

  // Which step markers have a red border: "1" .. "5".
  std::string RedMarkers() {
    std::string red;
    for (const char* name : {"Shape1", "Shape2", "Shape3", "Shape4", "Shape5"}) {
      if (Get<wizard::Shape>(name).BorderColor() == QColor(255, 0, 0)) {
        red += name[5];
      }
    }
    return red;
  }

  // The statement numbers of the reports shown so far, with the procedure: "SearchVssItem:102".
  std::vector<std::string> Reports() {
    std::vector<std::string> reports;
    for (const auto& box : forms.boxes) {
      const auto component = box.prompt.find("component 'Scourwell.FMain.");
      if (component == std::string::npos) {
        continue;
      }
      const auto start = component + 27;
      const auto end = box.prompt.find('\'', start);
      const auto line = box.prompt.find("at line ", end) + 8;
      reports.push_back(box.prompt.substr(start, end - start) + ":" +
                        box.prompt.substr(line, box.prompt.find(' ', line) - line));
    }
    return reports;
  }

  std::vector<std::string> Deleted() {
    std::vector<std::string> specs;
    std::vector<sourcesafe::ItemRecord> pending{engine->Root()};
    while (!pending.empty()) {
      const sourcesafe::ItemRecord item = pending.back();
      pending.pop_back();
      if (item.deleted) {
        specs.push_back(item.spec);
      }
      for (auto& child : engine->Children(item, true)) {
        pending.push_back(std::move(child));
      }
    }
    std::sort(specs.begin(), specs.end());
    return specs;
  }

  testing_support::TempDir folder;
  // The window's settings live in a registry of the test's own.
  testing_support::ScopedEnv config{"XDG_CONFIG_HOME", (folder / "config").string()};
  // And its purge reports a state folder.
  testing_support::ScopedEnv state{"XDG_STATE_HOME", (folder / "state").string()};
  // And the copies kept before purges a data folder.
  testing_support::ScopedEnv data{"XDG_DATA_HOME", (folder / "data").string()};
  // Stores a setting as the user's settings file holds it.
  static void Store(const std::string& name, const std::string& value) {
    settings::CAppSettings store;
    store.Init("Pellbrook", "Scourwell");
    store.SetRootKey(settings::CAppSettings::HKEY_CURRENT_USER);
    store.SaveSetting("General", name, settings::SettingValue::Text(value));
  }
  // The question's paragraph on the copy kept, for `bytes`.
  std::string KeptNote(const char* bytes) const {
    return std::string("Before anything is destroyed, a copy of it (about ") + bytes +
           ") is kept in the folder\r\n" + (folder / "data" / "scourwell" / "kept").string() +
           "\r\n\r\n";
  }
  std::unique_ptr<sourcesafe::Session> engine;
  testing_support::RecordingForms forms;
  std::unique_ptr<wizard::FMain> window = std::make_unique<wizard::FMain>();
};

using testing_support::FakeDatabase;
using testing_support::FakeItem;

}  // namespace wizard_test
