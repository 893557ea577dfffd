#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "platform/registry/Registry.h"
#include "platform/shell/LinuxShell.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace {

using namespace shell;
using ::testing::ElementsAre;

// A stand-in handler: a small program that writes each of its arguments on a line of its own to
// `record`, its working folder last, then exits with `status` after `delay` seconds.
void WriteHandler(const std::filesystem::path& path, const std::filesystem::path& record,
                  int status = 0, int delay = 0) {
  std::ofstream script(path);
  script << "#!/bin/sh\n"
         << "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << record.string() << "'\n"
         << "pwd >> '" << record.string() << "'\n"
         << "printf '%s\\n' \"$SCOURWELL_PROBE\" >> '" << record.string() << "'\n"
         << "sleep " << delay << "\n"
         << "exit " << status << "\n";
  script.close();
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

std::vector<std::string> Lines(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

class LinuxShellTest : public ::testing::Test {
 protected:
  LinuxShellTest() {
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(folder / "work");
  }

  testing_support::TempDir folder;
  std::filesystem::path bin = folder / "bin";
  std::filesystem::path record = folder / "record";
  testing_support::ScopedEnv path{"PATH", bin.string() + ":/usr/bin:/bin"};
  testing_support::ScopedEnv machine{"XDG_CONFIG_DIRS", (folder / "etc").string()};
  testing_support::ScopedEnv probe{"SCOURWELL_PROBE", "inherited"};
  LinuxShell shell;
};

TEST_F(LinuxShellTest, AnAddressReachesTheHandlerAsOneArgumentWhateverItHolds) {
  WriteHandler(bin / "xdg-open", record);
  const std::string url = R"(http://example.test/a b?x=1&y=2;z=$(id)|"q"'r' `w`)";
  EXPECT_GT(shell.ShellExecute(0, "open", url, nullptr, nullptr, SW_SHOWNORMAL), 32);
  const auto lines = Lines(record);
  ASSERT_GE(lines.size(), 1u);
  EXPECT_EQ(lines[0], url);
  EXPECT_EQ(lines.back(), "inherited");  // the caller's environment
  const std::string mail = "mailto:a@b.test?subject=Hi & bye;now";
  EXPECT_GT(shell.ShellExecute(0, nullptr, mail, nullptr, nullptr, SW_SHOWNORMAL), 32);
  EXPECT_EQ(Lines(record)[0], mail);
}

struct HandlerCase {
  const char* name;
  int status;
  int delay;
  HINSTANCE expected;
};

class HandlerResultTest : public LinuxShellTest,
                          public ::testing::WithParamInterface<HandlerCase> {};

TEST_P(HandlerResultTest, MapsTheHandlersOutcomeToAShellResult) {
  WriteHandler(bin / "xdg-open", record, GetParam().status, GetParam().delay);
  EXPECT_EQ(shell.ShellExecute(0, "open", "https://example.test", nullptr, nullptr, 1),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, HandlerResultTest,
                         ::testing::Values(HandlerCase{"Success", 0, 0, kAccepted},
                                           HandlerCase{"FileMissing", 2, 0, SE_ERR_FNF},
                                           HandlerCase{"NoHandler", 3, 0, SE_ERR_NOASSOC},
                                           HandlerCase{"HandlerFailed", 4, 0, SE_ERR_DDEFAIL},
                                           // Still running after the bounded wait: taken as
                                           // accepted, although it fails later.
                                           HandlerCase{"Slow", 4, 3, kAccepted}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinuxShellTest, MissingFilesFoldersAndHandlersGiveTheirCodes) {
  EXPECT_EQ(shell.ShellExecute(0, "open", (folder / "none.txt").string(), nullptr, nullptr, 1),
            SE_ERR_FNF);
  EXPECT_EQ(shell.ShellExecute(0, "open", (folder / "no/such/x.txt").string(), nullptr, nullptr, 1),
            SE_ERR_PNF);
  EXPECT_EQ(shell.ShellExecute(0, "open", "http://example.test", nullptr, nullptr, 1),
            SE_ERR_NOASSOC);  // no xdg-open in PATH
  std::ofstream(folder / "file.txt") << "x";
  EXPECT_EQ(shell.ShellExecute(0, "explore", (folder / "file.txt").string(), nullptr, nullptr, 1),
            SE_ERR_NOASSOC);
  EXPECT_EQ(
      shell.ShellExecute(0, "frobnicate", (folder / "file.txt").string(), nullptr, nullptr, 1),
      SE_ERR_NOASSOC);
}

TEST_F(LinuxShellTest, OpenStartsAnExecutableWithItsParametersInTheGivenFolder) {
  WriteHandler(bin / "tool", record);
  EXPECT_GT(shell.ShellExecute(0, "open", (bin / "tool").string(), R"(-a "b c" d;e)",
                               (folder / "work").c_str(), 1),
            32);
  for (int i = 0; i < 200 && Lines(record).size() < 5; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_THAT(Lines(record),
              ElementsAre("-a", "b c", "d;e", (folder / "work").string(), "inherited"));
}

TEST_F(LinuxShellTest, AVerbOfTheFilesTypeRunsItsCommandWithTheFileAsOneArgument) {
  WriteHandler(bin / "printer", record);
  using namespace registry;
  const auto set = [](const std::string& path, const std::string& text) {
    Key key;
    RegCreateKeyEx(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(),
                   nullptr);
    RegSetValueEx(key.Get(), "", 0, REG_SZ, reinterpret_cast<const unsigned char*>(text.c_str()),
                  static_cast<DWORD>(text.size() + 1));
  };
  set("SOFTWARE\\Classes\\.txt", "txtfile");
  set("SOFTWARE\\Classes\\txtfile\\shell\\print\\command", "printer --copies 2 \"%1\"");
  const std::filesystem::path file = folder / "my notes; & more.txt";
  std::ofstream(file) << "x";
  EXPECT_GT(shell.ShellExecute(0, "Print", file.string(), nullptr, nullptr, 1), 32);
  const auto lines = Lines(record);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 3),
              ElementsAre("--copies", "2", file.string()));
}

TEST_F(LinuxShellTest, FindFirstFileFindsPathsAndWildcardMatches) {
  std::ofstream(folder / "a.txt") << "x";
  std::ofstream(folder / "[b].log") << "x";
  for (const auto& pattern : {folder / "a.txt", folder / "work", folder / "*.txt", folder / "?.txt",
                              folder / "[b].log"}) {
    WIN32_FIND_DATA found;
    const HANDLE search = shell.FindFirstFile(pattern.string(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << pattern;
    EXPECT_EQ(shell.FindClose(search), 1);
    EXPECT_EQ(shell.FindClose(search), 0) << "closed twice";
  }
  for (const auto& pattern : {folder / "none", folder / "*.doc", folder / "b.log"}) {
    WIN32_FIND_DATA found;
    EXPECT_EQ(shell.FindFirstFile(pattern.string(), &found), INVALID_HANDLE_VALUE) << pattern;
  }
}

TEST_F(LinuxShellTest, CreateProcessTriesAnUnquotedPathWithBlanksPrefixByPrefixAndWaits) {
  const std::filesystem::path tools = folder / "My Tools";
  std::filesystem::create_directories(tools);
  WriteHandler(tools / "run it", record);
  PROCESS_INFORMATION information;
  const STARTUPINFO startup{68, STARTF_USESHOWWINDOW, 1};
  ASSERT_EQ(shell.CreateProcess(nullptr, (tools / "run it").string() + R"( x "y z")", nullptr,
                                nullptr, 0, NORMAL_PRIORITY_CLASS, nullptr,
                                (folder / "work").c_str(), &startup, &information),
            1);
  EXPECT_EQ(shell.WaitForSingleObject(information.hProcess, INFINITE), WAIT_OBJECT_0);
  EXPECT_THAT(Lines(record), ElementsAre("x", "y z", (folder / "work").string(), "inherited"));
  EXPECT_EQ(shell.CloseHandle(information.hThread), 1);
  EXPECT_EQ(shell.CloseHandle(information.hProcess), 1);
  EXPECT_EQ(shell.CloseHandle(information.hProcess), 0);
  EXPECT_EQ(shell.CreateProcess(nullptr, (folder / "nothing here").string(), nullptr, nullptr, 0, 0,
                                nullptr, "", &startup, &information),
            0);
  EXPECT_EQ(shell.CreateProcess(nullptr, (tools / "run it").string(), nullptr, nullptr, 0, 0,
                                nullptr, (folder / "no folder").c_str(), &startup, &information),
            0);
}

TEST_F(LinuxShellTest, PropertiesOfAMissingFileSayFileNotFound) {
  SHELLEXECUTEINFO info;
  info.lpVerb = "properties";
  info.lpFile = (folder / "none").string();
  EXPECT_EQ(shell.ShellExecuteEx(&info), 0);
  EXPECT_EQ(info.hInstApp, SE_ERR_FNF);
}

}  // namespace
