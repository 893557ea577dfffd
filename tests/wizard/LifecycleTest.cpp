#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <fstream>

#include "WizardFixture.h"
#include "platform/registry/Hive.h"
#include "settings/CAppSettings.h"

namespace wizard_test {
namespace {

settings::SettingValue Stored(const std::string& section, const std::string& name) {
  settings::CAppSettings store;
  store.Init("Pellbrook", "Scourwell");
  store.SetRootKey(settings::CAppSettings::HKEY_CURRENT_USER);
  return store.GetSetting(section, name, settings::SettingValue::Text("(none)"));
}

TEST_F(WizardTest, AFirstStartShowsTheDefaultsInACentredWindow) {
  EXPECT_EQ(Get<QLineEdit>("txtLoginName").text(), "Admin");
  EXPECT_EQ(Get<QLineEdit>("txtVssDb").text(), wizard::FMain::DefaultDatabasePath());
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const QRect frame = window->frameGeometry();
  EXPECT_NEAR(frame.left(), (screen.width() - frame.width()) / 2, 1);
  EXPECT_NEAR(frame.top(), (screen.height() - frame.height()) / 2, 1);
  EXPECT_TRUE(window->isHidden());  // placed, not shown
  EXPECT_TRUE(forms.boxes.empty());
}

TEST_F(WizardTest, TheLoginIsRememberedOnlyAfterASuccessfulOpenAndNeverThePassword) {
  AddFile("$/f");
  ListAll(Dir(), "ADMIN", "wrong");
  EXPECT_EQ(Stored("General", "LoginName"), settings::SettingValue::Text("(none)"));
  EXPECT_EQ(Stored("General", "VssDb"), settings::SettingValue::Text("(none)"));
  engine->AddUser("Carol", "Secret-Password-1", true);
  ListAll(Dir() + "/", "carol", "Secret-Password-1");
  EXPECT_EQ(Stored("General", "LoginName"), settings::SettingValue::Text("carol"));
  EXPECT_EQ(Stored("General", "VssDb"), settings::SettingValue::Text(Dir() + "/"));

  window = std::make_unique<wizard::FMain>();  // the next start
  EXPECT_EQ(Get<QLineEdit>("txtLoginName").text(), "carol");
  EXPECT_EQ(Get<QLineEdit>("txtVssDb").text(), QString::fromStdString(Dir() + "/"));
  EXPECT_EQ(Get<QLineEdit>("txtPassword").text(), "");
  std::ifstream hive(registry::HivePath(registry::HKEY_CURRENT_USER), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(hive)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes.find("Secret-Password-1"), std::string::npos);
}

TEST_F(WizardTest, ClosingSavesThePlacementAndTheNextStartRestoresIt) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  window->move(37, 41);
  window->resize(640, 420);  // the user made it larger
  const QRect before = window->frameGeometry();
  Button("cmdCancel").click();  // "Close"
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(Stored("Windows settings\\FMain", "NormalPosLeft"),
            settings::SettingValue::Text(std::to_string(before.left())));
  EXPECT_EQ(Stored("Windows settings\\FMain", "WindowState"), settings::SettingValue::Text("1"));

  window = std::make_unique<wizard::FMain>();
  EXPECT_EQ(window->frameGeometry().topLeft(), before.topLeft());
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  QTest::qWait(0);
  EXPECT_EQ(window->frameGeometry().size(), before.size());  // not grown by its frame
  EXPECT_EQ(window->size(), QSize(640, 420));
}

TEST_F(WizardTest, TheWindowGrowsWithItsListButNeverBelowItsFirstSize) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  const QRect list = List().geometry();
  const QRect next = Button("cmdNext").geometry();
  window->resize(800, 600);
  QTest::qWait(0);
  EXPECT_EQ(List().geometry().size(), list.size() + QSize(800 - 476, 600 - 307));
  EXPECT_EQ(Button("cmdNext").geometry().topLeft(), next.topLeft() + QPoint(800 - 476, 600 - 307));
  window->resize(300, 200);
  EXPECT_EQ(window->size(), QSize(476, 307));
  EXPECT_EQ(List().geometry(), list);
  EXPECT_EQ(Button("cmdNext").geometry(), next);
}

TEST_F(WizardTest, AnUnreadableSettingsStoreLeavesTheDefaultsAndTheWizardStarts) {
  window.reset();
  const std::filesystem::path hive = registry::HivePath(registry::HKEY_CURRENT_USER);
  std::filesystem::create_directories(hive.parent_path());
  std::ofstream(hive, std::ios::binary) << std::string(4096, '\x13');
  window = std::make_unique<wizard::FMain>();
  EXPECT_EQ(Get<QLineEdit>("txtLoginName").text(), "Admin");
  EXPECT_TRUE(Shown("frmHost(0)"));
  AddFile("$/f");
  Delete("$/f");
  ListAll();
  // Lines 109 and 110 cannot write: each is reported, and the search goes on.
  EXPECT_THAT(Reports(), ::testing::ElementsAre("cmdNext_Click:109", "cmdNext_Click:110"));
  EXPECT_EQ(Rows(), 1);
}

}  // namespace
}  // namespace wizard_test
