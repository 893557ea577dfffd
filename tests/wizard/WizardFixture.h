#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <memory>
#include <string>
#include <vector>

#include "errors/ErrorRecord.h"
#include "platform/sourcesafe/Schema.h"
#include "platform/sourcesafe/Session.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"
#include "support/RecordingForms.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "wizard/FMain.h"

namespace wizard_test {

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
  QListWidget& List() { return Get<QListWidget>("List1"); }
  bool Shown(const char* name) { return !Get<QWidget>(name).isHidden(); }

  void AddFile(const std::string& spec, const std::string& content = "") {
    engine->AddFile(spec, {reinterpret_cast<const unsigned char*>(content.data()), content.size()});
  }
  void Delete(const std::string& spec) { engine->Delete(engine->Find(spec, false)); }

  // Fills the login page and presses "List All >>".
  void ListAll(const std::string& path, const std::string& user = "Admin",
               const std::string& password = "") {
    Get<QLineEdit>("txtVssDb").setText(QString::fromStdString(path));
    Get<QLineEdit>("txtLoginName").setText(QString::fromStdString(user));
    Get<QLineEdit>("txtPassword").setText(QString::fromStdString(password));
    Button("cmdNext").click();
  }
  void ListAll() { ListAll(Dir()); }

  std::vector<std::string> Entries() {
    std::vector<std::string> entries;
    for (int i = 0; i < List().count(); ++i) {
      entries.push_back(List().item(i)->text().toStdString() +
                        (List().item(i)->checkState() == Qt::Checked ? "" : " (unchecked)"));
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
  std::unique_ptr<sourcesafe::Session> engine;
  testing_support::RecordingForms forms;
  std::unique_ptr<wizard::FMain> window = std::make_unique<wizard::FMain>();
};

// An item of a database made up in the test, for failures the engine does not make.
class FakeItem : public sourcecontrol::IVSSItem {
 public:
  FakeItem(std::string spec, bool deleted) : spec_(std::move(spec)), deleted_(deleted) {}

  bool Deleted() override {
    if (onDeleted) {
      onDeleted();
    }
    return deleted_;
  }
  std::string Spec() override { return spec_; }
  std::shared_ptr<sourcecontrol::IVSSItems> Items(bool) override;
  void Destroy() override {
    if (refuseDestroy) {
      throw errors::ErrorRecord(-2147166571, "SourceSafe", "refused");
    }
    ++destroyed;
  }

  std::vector<std::shared_ptr<FakeItem>> children;
  std::function<void()> onDeleted;
  bool refuseDestroy = false;
  int destroyed = 0;

 private:
  std::string spec_;
  bool deleted_;
};

class FakeItems : public sourcecontrol::IVSSItems {
 public:
  explicit FakeItems(std::vector<std::shared_ptr<FakeItem>> children)
      : children_(std::move(children)) {}
  int Count() override { return static_cast<int>(children_.size()); }
  std::shared_ptr<sourcecontrol::IVSSItem> Item(int index) override {
    return children_.at(static_cast<std::size_t>(index - 1));
  }

 private:
  std::vector<std::shared_ptr<FakeItem>> children_;
};

inline std::shared_ptr<sourcecontrol::IVSSItems> FakeItem::Items(bool) {
  return std::make_shared<FakeItems>(children);
}

class FakeDatabase : public sourcecontrol::IVSSDatabase {
 public:
  void Open(const std::string&, const std::string&, const std::string&) override {}
  std::shared_ptr<sourcecontrol::IVSSItem> VSSItem(const std::string&, bool) override {
    return root;
  }
  std::shared_ptr<FakeItem> root = std::make_shared<FakeItem>("$/", false);
};

}  // namespace wizard_test
