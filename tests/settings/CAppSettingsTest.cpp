#include <gtest/gtest.h>

#include <cstring>

#include "errors/ErrorRecord.h"
#include "platform/registry/Registry.h"
#include "settings/CAppSettings.h"
#include "support/Raised.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace {

using settings::CAppSettings;
using settings::SettingValue;
using namespace registry;

using testing_support::RaisedBy;

class CAppSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store.Init("Pellbrook", "Scourwell");
    store.SetRootKey(CAppSettings::HKEY_CURRENT_USER);
  }

  // The type and bytes stored under HKCU\Software\Pellbrook\Scourwell\<section>, value `name`.
  std::pair<DWORD, std::string> Stored(const std::string& section, const std::string& name,
                                       HKEY root = HKEY_CURRENT_USER,
                                       const std::string& app = "Pellbrook\\Scourwell") {
    Key key;
    if (RegOpenKeyEx(root, "Software\\" + app + "\\" + section, 0, KEY_READ, key.Receive()) !=
        ERROR_SUCCESS) {
      return {REG_NONE, "(no key)"};
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueEx(key.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
      return {REG_NONE, "(no value)"};
    }
    std::string data(size, '\0');
    RegQueryValueEx(key.Get(), name, nullptr, &type, reinterpret_cast<unsigned char*>(data.data()),
                    &size);
    return {type, data};
  }

  void WriteRaw(const std::string& name, DWORD type, const std::string& data) {
    Key key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Pellbrook\\Scourwell\\General", 0,
                             nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr),
              ERROR_SUCCESS);
    RegSetValueEx(key.Get(), name, 0, type, reinterpret_cast<const unsigned char*>(data.data()),
                  static_cast<DWORD>(data.size()));
  }

  testing_support::TempDir folder;
  testing_support::ScopedEnv home{"XDG_CONFIG_HOME", (folder / "home").string()};
  testing_support::ScopedEnv machine{"XDG_CONFIG_DIRS", (folder / "etc").string()};
  CAppSettings store;
};

std::string Dword(std::int32_t number) {
  std::string data(4, '\0');
  std::memcpy(data.data(), &number, 4);
  return data;
}

TEST_F(CAppSettingsTest, AFreshObjectWritesToTheMachineHiveUnderItsDefaultNames) {
  CAppSettings fresh;
  fresh.SaveSetting("General", "LoginName", SettingValue::Text("Admin"));
  EXPECT_EQ(Stored("General", "LoginName", HKEY_LOCAL_MACHINE, "MyCompany\\MyApplication"),
            std::make_pair(REG_SZ, std::string("Admin\0", 6)));
  EXPECT_EQ(fresh.MainBranch(), "Software");
}

struct SavedCase {
  const char* name;
  SettingValue value;
  DWORD type;
  std::string data;
};

class SaveSettingTest : public CAppSettingsTest, public ::testing::WithParamInterface<SavedCase> {};

TEST_P(SaveSettingTest, StoresTheTypeByTheKindOfValue) {
  store.SaveSetting("General", "V", GetParam().value);
  EXPECT_EQ(Stored("General", "V"), std::make_pair(GetParam().type, GetParam().data));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SaveSettingTest,
    ::testing::Values(
        SavedCase{"Text", SettingValue::Text("Admin"), REG_SZ, std::string("Admin\0", 6)},
        SavedCase{"EmptyText", SettingValue::Text(""), REG_SZ, std::string(1, '\0')},
        SavedCase{"True", SettingValue::Boolean(true), REG_SZ, std::string("True\0", 5)},
        SavedCase{"False", SettingValue::Boolean(false), REG_SZ, std::string("False\0", 6)},
        SavedCase{"HalfDown", SettingValue::Double(2.5), REG_DWORD, Dword(2)},
        SavedCase{"HalfUp", SettingValue::Double(3.5), REG_DWORD, Dword(4)},
        SavedCase{"NegativeHalf", SettingValue::Single(-2.5f), REG_DWORD, Dword(-2)},
        SavedCase{"Integer", SettingValue::Integer(-7), REG_DWORD, Dword(-7)},
        SavedCase{"Empty", SettingValue(), REG_DWORD, Dword(0)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CAppSettingsTest, ADateIsStoredAsItsText) {
  store.SaveSetting("General", "When",
                    SettingValue::Date(QDateTime(QDate(2026, 12, 7), QTime(0, 0))));
  const auto [type, data] = Stored("General", "When");
  EXPECT_EQ(type, REG_SZ);
  EXPECT_NE(data.find("26"), std::string::npos) << data;
  EXPECT_EQ(data.back(), '\0');
}

TEST_F(CAppSettingsTest, ANumberWithNo32BitFormFailsAfterTheKeyWasMade) {
  for (const SettingValue& value :
       {SettingValue::Double(2147483648.0), SettingValue::Null(), SettingValue::Object()}) {
    const auto error = RaisedBy([&] { store.SaveSetting("New", "V", value); });
    EXPECT_EQ(error.Number(), CAppSettings::kComponentFailure);
    EXPECT_EQ(error.Description(), "CAppSettings component failure");
    EXPECT_EQ(error.Source(), "Scourwell.CAppSettings");
  }
  EXPECT_EQ(Stored("New", "V").second, "(no value)");  // the key is there, the value is not
}

TEST_F(CAppSettingsTest, GetSettingReadsTextAndNumbersAndGivesTheDefaultForAnythingElse) {
  store.SaveSetting("General", "Text", SettingValue::Text("Admin"));
  store.SaveSetting("General", "Flag", SettingValue::Boolean(true));
  store.SaveSetting("General", "Number", SettingValue::Long(-5));
  WriteRaw("Expand", REG_EXPAND_SZ, std::string("%HOME%\0", 7));
  WriteRaw("Bytes", REG_BINARY, "\x01\x02");
  WriteRaw("Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
  const SettingValue fallback = SettingValue::Text("-1");
  EXPECT_EQ(store.GetSetting("General", "text", fallback), SettingValue::Text("Admin"));
  EXPECT_EQ(store.GetSetting("General", "Flag", fallback), SettingValue::Text("True"));
  EXPECT_EQ(store.GetSetting("General", "Number", fallback), SettingValue::Long(-5));
  for (const char* name : {"Expand", "Bytes", "Multi", "Missing"}) {
    EXPECT_EQ(store.GetSetting("General", name, fallback), fallback) << name;
  }
  EXPECT_EQ(store.GetSetting("NoSection", "Text", SettingValue::Text("")), SettingValue::Text(""));
  EXPECT_EQ(store.GetSetting("NoSection", "Text", SettingValue::Double(1.5)),
            SettingValue::Double(1.5));
}

TEST_F(CAppSettingsTest, PropertiesRefuseBadValuesAndKeepTheOldOnes) {
  CAppSettings fresh;
  auto error = RaisedBy([&] { fresh.Init("Pellbrook", ""); });
  EXPECT_EQ(error.Number(), CAppSettings::kInvalidAppName);
  EXPECT_EQ(error.Description(), "Invalid AppName value");
  EXPECT_EQ(fresh.CompanyName(), "Pellbrook");  // stored before the application name failed
  EXPECT_EQ(fresh.AppName(), "MyApplication");
  error = RaisedBy([&] { fresh.Init("", "Other"); });
  EXPECT_EQ(error.Number(), CAppSettings::kInvalidCompanyName);
  EXPECT_EQ(fresh.AppName(), "MyApplication");
  EXPECT_EQ(RaisedBy([&] { fresh.SetMainBranch(""); }).Number(), CAppSettings::kInvalidMainBranch);
  error = RaisedBy([&] { fresh.SetRootKey(static_cast<std::int32_t>(0x80000003u)); });
  EXPECT_EQ(error.Number(), -2147204480);
  EXPECT_EQ(error.Description(), "Invalid root key value");
  EXPECT_EQ(fresh.RootKey(), CAppSettings::HKEY_LOCAL_MACHINE);
}

TEST_F(CAppSettingsTest, GetAllKeysListsNamesFromOneAndFailsOnAMissingSection) {
  settings::KeyList keys;
  keys.Append("stale");
  const auto missing = RaisedBy([&] { store.GetAllKeys("General", keys); });
  EXPECT_EQ(missing.Number(), CAppSettings::kFailedGettingKeys);
  EXPECT_TRUE(keys.Empty());
  store.SaveSetting("General", "LoginName", SettingValue::Text("a"));
  store.SaveSetting("General", "VssDb", SettingValue::Text("b"));
  store.GetAllKeys("General", keys);
  ASSERT_EQ(keys.UBound(), 2);
  EXPECT_EQ(keys(1), "LoginName");
  EXPECT_EQ(keys(2), "VssDb");
  store.SaveSetting("Empty\\Sub", "x", SettingValue::Text(""));  // makes "Empty" without values
  store.GetAllKeys("Empty", keys);
  EXPECT_TRUE(keys.Empty());
}

TEST_F(CAppSettingsTest, DeleteSettingRemovesASectionWithItsValues) {
  store.SaveSetting("General", "LoginName", SettingValue::Text("a"));
  store.DeleteSetting("General");
  EXPECT_EQ(Stored("General", "LoginName").second, "(no key)");
  const auto error = RaisedBy([&] { store.DeleteSetting("General"); });
  EXPECT_EQ(error.Number(), CAppSettings::kFailedDeleting);
  EXPECT_EQ(error.Description(), "Failed deleting the application setting");
}

}  // namespace
