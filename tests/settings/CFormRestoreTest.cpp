#include <gtest/gtest.h>

#include <map>

#include "errors/ErrorRecord.h"
#include "platform/windowing/Windowing.h"
#include "settings/CAppSettings.h"
#include "settings/CFormRestore.h"
#include "settings/FormObject.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace {

using namespace windowing;
using settings::CAppSettings;
using settings::CFormRestore;
using settings::FormObject;
using settings::SettingValue;

constexpr HWND kDesktop = 1;
constexpr HWND kForm = 2;

// A screen of 1024 x 768 and one window, whose placement calls are recorded.
class FakeWindowing : public Windowing {
 public:
  BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) override {
    if (placement->length != 44 || (window != kDesktop && window != kForm) || failGet) {
      return 0;
    }
    *placement = window == kDesktop ? desktop : form;
    return 1;
  }
  BOOL SetWindowPlacement(HWND, const WINDOWPLACEMENT* placement) override {
    applied.push_back(*placement);
    form = *placement;
    return 1;
  }
  HWND GetDesktopWindow() override { return kDesktop; }
  BOOL IsWindow(HWND window) override { return window == kDesktop || window == kForm; }

  WINDOWPLACEMENT desktop{44, 0, SW_SHOWNORMAL, {-1, -1}, {-1, -1}, {0, 0, 1024, 768}};
  WINDOWPLACEMENT form{44, 0, SW_SHOWNORMAL, {-1, -1}, {-1, -1}, {10, 20, 510, 320}};
  std::vector<WINDOWPLACEMENT> applied;
  bool failGet = false;
};

class FakeForm : public FormObject {
 public:
  std::string Name() const override { return "FMain"; }
  HWND hWnd() const override { return kForm; }
  bool Visible() const override { return visible; }
  bool Sizable() const override { return sizable; }
  double OuterWidth() const override { return 500; }
  double OuterHeight() const override { return 300; }
  void SetWindowState(WindowState value) override { state = value; }

  bool visible = false;
  bool sizable = false;
  int state = -1;  // not set
};

class CFormRestoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store->Init("Pellbrook", "Scourwell");
    store->SetRootKey(CAppSettings::HKEY_CURRENT_USER);
    restore.Init(store);
  }

  void Store(const std::map<std::string, std::string>& values) {
    for (const auto& [name, value] : values) {
      store->SaveSetting("Windows settings\\FMain", name, SettingValue::Text(value));
    }
  }

  RECT Applied() const { return windows.applied.back().rcNormalPosition; }

  testing_support::TempDir folder;
  testing_support::ScopedEnv home{"XDG_CONFIG_HOME", (folder / "home").string()};
  FakeWindowing windows;
  ScopedWindowing scope{windows};
  std::shared_ptr<CAppSettings> store = std::make_shared<CAppSettings>();
  CFormRestore restore;
  FakeForm form;
};

struct CentreCase {
  std::int32_t width;
  std::int32_t left;
};

class CentreTest : public CFormRestoreTest, public ::testing::WithParamInterface<CentreCase> {};

TEST_P(CentreTest, NothingStoredCentresTheHiddenWindowHalvesToEven) {
  windows.form.rcNormalPosition = {0, 0, GetParam().width, 300};
  restore.GetPosition(form);
  ASSERT_EQ(windows.applied.size(), 1u);
  EXPECT_EQ(windows.applied[0].showCmd, SW_HIDE);
  EXPECT_EQ(Applied().left, GetParam().left);
  EXPECT_EQ(Applied().top, 234);
  EXPECT_EQ(Applied().right, GetParam().left + GetParam().width);
  EXPECT_EQ(Applied().bottom, 534);
}

INSTANTIATE_TEST_SUITE_P(Widths, CentreTest,
                         ::testing::Values(CentreCase{500, 262}, CentreCase{501, 262},
                                           CentreCase{503, 260}));

TEST_F(CFormRestoreTest, NothingStoredAndNoCentringChangesNothing) {
  restore.SetCenteredByDefault(false);
  restore.GetPosition(form);
  EXPECT_TRUE(windows.applied.empty());
  EXPECT_EQ(form.state, -1);
}

struct StateCase {
  const char* stored;
  bool neverMinimized;
  int state;
};

class StoredStateTest : public CFormRestoreTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(StoredStateTest, AHiddenWindowIsOnlyMovedAndGetsTheStoredState) {
  restore.SetNeverStartMinimized(GetParam().neverMinimized);
  Store({{"WindowState", GetParam().stored}, {"NormalPosLeft", "40"}, {"NormalPosTop", "-30"}});
  restore.GetPosition(form);
  ASSERT_EQ(windows.applied.size(), 1u);
  EXPECT_EQ(windows.applied[0].showCmd, SW_HIDE);
  EXPECT_EQ(windows.applied[0].flags, 0u);
  EXPECT_EQ(form.state, GetParam().state);
  EXPECT_EQ(Applied().left, 40);
  EXPECT_EQ(Applied().top, -30);  // off the screen is applied as it is
}

INSTANTIATE_TEST_SUITE_P(
    States, StoredStateTest,
    ::testing::Values(StateCase{"1", false, FormObject::kNormal},
                      StateCase{"2", false, FormObject::kMinimized},
                      StateCase{"2", true, FormObject::kNormal},
                      StateCase{"7", false, FormObject::kMinimized},
                      StateCase{"3", false, FormObject::kMaximized}, StateCase{"8", false, -1},
                      StateCase{"10", false, -1}, StateCase{"11", false, FormObject::kNormal},
                      StateCase{"abc", false, FormObject::kNormal},
                      StateCase{" 3.5xyz", false, FormObject::kNormal}));  // 3.5 reads as 4

TEST_F(CFormRestoreTest, ANegativeStoredStateIsAsIfNothingWereStored) {
  Store({{"WindowState", "-5"}, {"NormalPosLeft", "40"}});
  restore.GetPosition(form);
  EXPECT_EQ(Applied().left, 262);  // centred
}

TEST_F(CFormRestoreTest, AFixedWindowKeepsItsSizeAndASizableOneTakesTheStoredOne) {
  Store({{"WindowState", "1"},
         {"NormalPosLeft", "40"},
         {"NormalPosTop", "50"},
         {"NormalPosRight", "1040"},
         {"NormalPosBottom", "950"}});
  restore.GetPosition(form);
  EXPECT_EQ(Applied().right, 540);
  EXPECT_EQ(Applied().bottom, 350);
  form.sizable = true;
  restore.GetPosition(form);
  EXPECT_EQ(Applied().right, 1040);
  EXPECT_EQ(Applied().bottom, 950);
}

TEST_F(CFormRestoreTest, AVisibleWindowGetsTheStoredShowCommand) {
  form.visible = true;
  Store({{"WindowState", "2"}});
  restore.GetPosition(form);
  EXPECT_EQ(windows.applied.back().showCmd, SW_SHOWMINIMIZED);
  restore.SetNeverStartMinimized(true);
  restore.GetPosition(form);
  EXPECT_EQ(windows.applied.back().showCmd, SW_SHOWNORMAL);
}

TEST_F(CFormRestoreTest, SavePositionWritesNineTextValuesAndTheyComeBack) {
  windows.form = {44, 0, SW_SHOWMAXIMIZED, {-1, -1}, {-8, -8}, {100, 110, 600, 410}};
  restore.SavePosition(form);
  const auto read = [&](const char* name) {
    return store->GetSetting("Windows settings\\FMain", name, SettingValue::Text("?"));
  };
  EXPECT_EQ(read("WindowState"), SettingValue::Text("3"));
  EXPECT_EQ(read("MaxPosX"), SettingValue::Text("-8"));
  EXPECT_EQ(read("NormalPosBottom"), SettingValue::Text("410"));
  form.sizable = true;
  restore.GetPosition(form);
  EXPECT_EQ(form.state, FormObject::kMaximized);
  EXPECT_EQ(Applied().left, 100);
  EXPECT_EQ(Applied().bottom, 410);
  EXPECT_EQ(windows.applied.back().ptMaxPosition.x, -8);
}

TEST_F(CFormRestoreTest, FailuresCarryTheClassNumbers) {
  CFormRestore unbound;
  const auto raised = [](auto&& call) {
    try {
      call();
    } catch (const errors::ErrorRecord& error) {
      return error.Number();
    }
    return 0;
  };
  EXPECT_EQ(raised([&] { unbound.GetPosition(form); }), -2147203943);
  EXPECT_EQ(raised([&] { unbound.SavePosition(form); }), CFormRestore::kNotInitialized);
  EXPECT_EQ(raised([&] { unbound.Init(nullptr); }), CFormRestore::kInvalidAppSettings);
  EXPECT_EQ(raised([&] { unbound.SetKeyName(""); }), CFormRestore::kInvalidKeyName);
  EXPECT_EQ(unbound.KeyName(), "Windows settings");
  Store({{"WindowState", "1"}, {"NormalPosLeft", "99999999999"}});
  EXPECT_EQ(raised([&] { restore.GetPosition(form); }), CFormRestore::kComponentFailure);
  windows.failGet = true;
  EXPECT_EQ(raised([&] { restore.SavePosition(form); }), 0);  // nothing written, no error
}

}  // namespace
