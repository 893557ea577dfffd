#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/shell/FolderDialog.h"
#include "platform/windowing/Windowing.h"
#include "shell/CBrowseForFolder.h"
#include "support/Raised.h"

namespace {

using namespace shell;
using ::testing::ElementsAre;
using testing_support::RaisedBy;

constexpr HWND kOwner = 77;
constexpr HWND kDialog = 99;

// A window manager that knows one window.
class OneWindow : public windowing::Windowing {
 public:
  BOOL GetWindowPlacement(HWND, windowing::WINDOWPLACEMENT*) override { return 0; }
  BOOL SetWindowPlacement(HWND, const windowing::WINDOWPLACEMENT*) override { return 0; }
  HWND GetDesktopWindow() override { return 1; }
  BOOL IsWindow(HWND window) override { return window == kOwner ? 1 : 0; }
};

// A dialog whose user the test plays: it calls back as the real one does, records the
// requests it gets, and returns the scripted choice.
class ScriptedDialogs : public FolderDialogs {
 public:
  std::unique_ptr<ITEMIDLIST> SHBrowseForFolder(BROWSEINFO* browse) override {
    seen.push_back(*browse);
    browse->lpfn(kDialog, BFFM_INITIALIZED, 0, browse->lParam);
    for (const ITEMIDLIST& item : selections) {
      browse->lpfn(kDialog, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(&item), browse->lParam);
    }
    if (!choice) {
      return nullptr;
    }
    return std::make_unique<ITEMIDLIST>(*choice);
  }
  BOOL SHGetPathFromIDList(const ITEMIDLIST* item, char* path) override {
    if (item == nullptr || !item->fileSystem) {
      return 0;
    }
    std::memcpy(path, item->path.c_str(), item->path.size() + 1);
    return 1;
  }
  LRESULT SendMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override {
    EXPECT_EQ(dialog, kDialog);
    messages.push_back(std::to_string(message) + " " + std::to_string(static_cast<LPARAM>(wParam)) +
                       " " + reinterpret_cast<const char*>(lParam));
    return 0;
  }

  std::optional<ITEMIDLIST> choice;
  std::vector<ITEMIDLIST> selections;
  std::vector<BROWSEINFO> seen;
  std::vector<std::string> messages;
};

class CBrowseForFolderTest : public ::testing::Test {
 protected:
  OneWindow windows;
  windowing::ScopedWindowing windowScope{windows};
  ScriptedDialogs dialogs;
  ScopedFolderDialogs dialogScope{dialogs};
  CBrowseForFolder picker;
};

TEST_F(CBrowseForFolderTest, InitStoresPathAndTitleBeforeItTestsTheOwner) {
  EXPECT_EQ(picker.Flags(), 69);
  const auto error = RaisedBy([&] { picker.Init("/srv/vss", 12345, "Title", 5); });
  EXPECT_EQ(error.Number(), -2147204442);
  EXPECT_EQ(error.Description(), "Invalid window handle");
  EXPECT_EQ(error.Source(), "Scourwell.CBrowseForFolder");
  EXPECT_EQ(picker.InitialPath(), "/srv/vss");
  EXPECT_EQ(picker.DialogTitle(), "Title");
  EXPECT_EQ(picker.HWndOwner(), 0);
  EXPECT_EQ(picker.Flags(), 69);
  picker.Init("/srv", static_cast<std::intptr_t>(kOwner), "T");
  EXPECT_EQ(picker.HWndOwner(), static_cast<std::intptr_t>(kOwner));
  EXPECT_EQ(picker.Flags(), 1);  // Init without flags: 1, not the 69 of a new object
  picker.SetHWndOwner(-5);       // negative handles are stored untested
  EXPECT_EQ(picker.HWndOwner(), -5);
}

TEST_F(CBrowseForFolderTest, BrowsePreselectsTheInitialPathEveryTimeAndReportsSelections) {
  picker.Init("/srv/vss", 0, "VSS Database Location", 69);
  dialogs.selections = {{"/srv", true}, {"virtual", false}};
  dialogs.choice = ITEMIDLIST{"/srv/vss/db", true};
  EXPECT_TRUE(picker.Browse());
  EXPECT_EQ(picker.SelectedPath(), "/srv/vss/db");
  EXPECT_TRUE(picker.Browse());
  EXPECT_THAT(dialogs.messages,
              ElementsAre("1126 -1 /srv/vss", "1124 0 /srv", "1124 0 ",  // no path: empty status
                          "1126 -1 /srv/vss", "1124 0 /srv", "1124 0 "));
  const BROWSEINFO& browse = dialogs.seen[0];
  EXPECT_EQ(browse.lpszTitle, "VSS Database Location");
  EXPECT_EQ(browse.ulFlags, 69u);
  EXPECT_EQ(browse.hwndOwner, 0u);
  EXPECT_EQ(browse.pidlRoot, nullptr);
}

TEST_F(CBrowseForFolderTest, AnEmptyInitialPathSendsNoSelection) {
  dialogs.choice = ITEMIDLIST{"/home", true};
  EXPECT_TRUE(picker.Browse());
  EXPECT_EQ(dialogs.seen[0].lParam, 0);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(CBrowseForFolderTest, ACancelKeepsTheEarlierPathAndAFolderWithoutAPathFails) {
  dialogs.choice = ITEMIDLIST{"/srv/first", true};
  ASSERT_TRUE(picker.Browse());
  dialogs.choice.reset();
  EXPECT_FALSE(picker.Browse());
  EXPECT_EQ(picker.SelectedPath(), "/srv/first");
  dialogs.choice = ITEMIDLIST{"Network", false};
  const auto error = RaisedBy([&] { picker.Browse(); });
  EXPECT_EQ(error.Number(), CBrowseForFolder::kNoPath);
  EXPECT_EQ(error.Description(), "Could not get the path of the selected folder");
  EXPECT_EQ(picker.SelectedPath(), "/srv/first");
}

}  // namespace
