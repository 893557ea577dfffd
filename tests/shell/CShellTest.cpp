#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/registry/Registry.h"
#include "platform/shell/Shell.h"
#include "shell/CShell.h"
#include "support/Raised.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace {

using namespace shell;
using ::testing::ElementsAre;
using testing_support::RaisedBy;

// Records every request and answers with the results the test sets.
class FakeShell : public Shell {
 public:
  struct Request {
    std::string verb;  // "(none)" when no verb was named
    std::string file;
    std::string parameters;
    std::string directory;  // "(none)" when none was given
  };

  HINSTANCE ShellExecute(HWND owner, const char* verb, const std::string& file,
                         const char* parameters, const char* directory, int show) override {
    requests.push_back({verb != nullptr ? verb : "(none)", file,
                        parameters != nullptr ? parameters : "(null)",
                        directory != nullptr ? directory : "(none)"});
    owners.push_back(owner);
    shows.push_back(show);
    return result;
  }
  BOOL ShellExecuteEx(SHELLEXECUTEINFO* info) override {
    extended.push_back(*info);
    info->hInstApp = hInstApp;
    return extendedResult;
  }
  HANDLE FindFirstFile(const std::string& pattern, WIN32_FIND_DATA*) override {
    searched.push_back(pattern);
    return exists ? 7 : INVALID_HANDLE_VALUE;
  }
  BOOL FindClose(HANDLE) override { return findCloseWorks ? 1 : 0; }
  BOOL CreateProcess(const char* application, const std::string& commandLine,
                     const SECURITY_ATTRIBUTES* process, const SECURITY_ATTRIBUTES*, BOOL inherit,
                     DWORD flags, const void* environment, const char* directory,
                     const STARTUPINFO* startup, PROCESS_INFORMATION* information) override {
    EXPECT_EQ(application, nullptr);
    EXPECT_EQ(process->nLength, 12u);
    EXPECT_EQ(inherit, 0);
    EXPECT_EQ(flags, NORMAL_PRIORITY_CLASS);
    EXPECT_NE(environment, nullptr);
    EXPECT_EQ(startup->cb, 68u);
    EXPECT_EQ(startup->dwFlags, STARTF_USESHOWWINDOW);
    commandLines.push_back(commandLine);
    directories.push_back(directory);
    information->hProcess = 100;
    information->hThread = 101;
    return createWorks ? 1 : 0;
  }
  DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) override {
    events.push_back("wait " + std::to_string(handle) + " " + std::to_string(milliseconds));
    return WAIT_OBJECT_0;
  }
  BOOL CloseHandle(HANDLE handle) override {
    events.push_back("close " + std::to_string(handle));
    return 1;
  }

  HINSTANCE result = kAccepted;
  HINSTANCE hInstApp = kAccepted;
  BOOL extendedResult = 1;
  bool exists = true;
  bool findCloseWorks = true;
  bool createWorks = true;
  std::vector<Request> requests;
  std::vector<HWND> owners;
  std::vector<int> shows;
  std::vector<SHELLEXECUTEINFO> extended;
  std::vector<std::string> searched;
  std::vector<std::string> commandLines;
  std::vector<std::string> directories;
  std::vector<std::string> events;
};

class CShellTest : public ::testing::Test {
 protected:
  testing_support::TempDir folder;
  testing_support::ScopedEnv machine{"XDG_CONFIG_DIRS", (folder / "etc").string()};
  FakeShell fake;
  ScopedShell scope{fake};
  CShell cshell;
};

struct MailCase {
  const char* recipient;
  const char* cc;
  const char* subject;
  const char* body;
  const char* address;
};

class MailAddressTest : public CShellTest, public ::testing::WithParamInterface<MailCase> {};

TEST_P(MailAddressTest, ComposesHeadersInOrderUnescaped) {
  const MailCase& c = GetParam();
  cshell.CreateNewMailMessage(c.recipient, c.cc, c.subject, c.body);
  ASSERT_EQ(fake.requests.size(), 1u);
  EXPECT_EQ(fake.requests[0].file, c.address);
  EXPECT_EQ(fake.requests[0].verb, "open");
  EXPECT_EQ(fake.requests[0].parameters, "(null)");
  EXPECT_EQ(fake.requests[0].directory, "(none)");
}

INSTANTIATE_TEST_SUITE_P(
    Table, MailAddressTest,
    ::testing::Values(MailCase{"R", "", "", "", "mailto:R"},
                      MailCase{"R", "", "S", "", "mailto:R?subject=S"},
                      MailCase{"R", "C", "S", "B", "mailto:R?subject=S&cc=C&body=B"},
                      MailCase{"R", "C", "", "", "mailto:R?cc=C"},
                      MailCase{"R", "", "", "B", "mailto:R?body=B"},
                      MailCase{"R", "C", "", "B", "mailto:R?cc=C&body=B"},
                      MailCase{"", "", "S", "", "mailto:?subject=S"},
                      MailCase{"R", "", "a & b c", "", "mailto:R?subject=a & b c"}));

struct ResultCase {
  HINSTANCE result;
  std::int32_t fullError;  // 0: no error
  bool shortRaises;
};

class ResultTableTest : public CShellTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(ResultTableTest, TheFullTableRaisesEveryRowAndTheShortOneOnlyItsOwn) {
  fake.result = GetParam().result;
  const auto full = RaisedBy([&] { cshell.OpenFolder("/srv"); });
  EXPECT_EQ(full.Number(), GetParam().fullError);
  EXPECT_EQ(RaisedBy([&] { cshell.ExploreFolder("/srv"); }).Number(), GetParam().fullError);
  const auto brief = RaisedBy([&] { cshell.OpenUrl("http://example.test"); });
  EXPECT_EQ(brief.Number(), GetParam().shortRaises ? GetParam().fullError : 0);
  EXPECT_EQ(RaisedBy([&] { cshell.CreateNewMailMessage("a@b.test"); }).Number(), brief.Number());
  if (full.Number() != 0) {
    EXPECT_EQ(full.Source(), "Scourwell.CShell");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Results, ResultTableTest,
    ::testing::Values(
        ResultCase{0, 0, false}, ResultCase{33, 0, false}, ResultCase{42, 0, false},
        ResultCase{2, CShell::kFileNotFound, false},
        ResultCase{5, CShell::kFileNotFound, false},  // as result 2
        ResultCase{3, CShell::kPathNotFound, false}, ResultCase{8, CShell::kOutOfMemory, true},
        ResultCase{11, CShell::kBadExe, false}, ResultCase{26, CShell::kSharingViolation, true},
        ResultCase{27, CShell::kAssociationIncomplete, false},
        ResultCase{28, CShell::kDdeTimeout, true}, ResultCase{29, CShell::kDdeFailed, true},
        ResultCase{30, CShell::kDdeBusy, true}, ResultCase{31, CShell::kNoAssociation, false},
        ResultCase{32, CShell::kDllNotFound, false}, ResultCase{4, 0, false}));

TEST_F(CShellTest, RequestsNameTheDesktopAsOwnerAndShowNormally) {
  cshell.OpenUrl("http://example.test/?a=1&b=2");
  cshell.ExploreFolder("/srv/vss");
  EXPECT_EQ(fake.requests[0].file, "http://example.test/?a=1&b=2");
  EXPECT_EQ(fake.requests[1].verb, "explore");
  EXPECT_THAT(fake.owners, ::testing::Each(windowing::GetDesktopWindow()));
  EXPECT_THAT(fake.shows, ::testing::Each(SW_SHOWNORMAL));
}

TEST_F(CShellTest, ShowPropertiesChecksThePathThenTrustsOnlyHInstApp) {
  fake.exists = false;
  const auto missing = RaisedBy([&] { cshell.ShowProperties("/none"); });
  EXPECT_EQ(missing.Number(), CShell::kFileNotFound);
  EXPECT_EQ(missing.Description(), "File not found");
  EXPECT_TRUE(fake.extended.empty());

  fake.exists = true;
  cshell.ShowProperties("/srv/file");
  ASSERT_EQ(fake.extended.size(), 1u);
  const SHELLEXECUTEINFO& info = fake.extended[0];
  EXPECT_EQ(info.cbSize, 60u);
  EXPECT_EQ(info.fMask, 0x44Cu);
  EXPECT_EQ(info.hwnd, windowing::GetDesktopWindow());
  EXPECT_EQ(info.lpVerb, "properties");
  EXPECT_EQ(info.nShow, 0);
  cshell.ShowProperties("/srv/file", 0x1234);
  EXPECT_EQ(fake.extended[1].hwnd, 0x1234u);

  fake.hInstApp = 32;
  fake.extendedResult = 1;  // what the call returns does not count
  EXPECT_EQ(RaisedBy([&] { cshell.ShowProperties("/srv/file"); }).Number(),
            CShell::kCannotShowProperties);
}

TEST_F(CShellTest, AWaitingLaunchBuildsItsCommandLineWaitsAndClosesBothHandles) {
  cshell.LaunchProgram("/opt/My Tools/run", "", true);
  cshell.LaunchProgram("/opt/My Tools/run", "-x y", true, "/tmp/start");
  EXPECT_THAT(fake.commandLines, ElementsAre("/opt/My Tools/run ", "/opt/My Tools/run -x y"));
  EXPECT_THAT(fake.directories, ElementsAre("", "/tmp/start"));
  EXPECT_THAT(fake.events, ElementsAre("wait 100 4294967295", "close 101", "close 100",
                                       "wait 100 4294967295", "close 101", "close 100"));
  EXPECT_TRUE(fake.requests.empty());
  fake.createWorks = false;
  const auto refused = RaisedBy([&] { cshell.LaunchProgram("/bin/x", "", true); });
  EXPECT_EQ(refused.Number(), CShell::kCannotCreateProcess);
  EXPECT_EQ(refused.Description(), "Cannot create process");
}

TEST_F(CShellTest, ALaunchWithoutWaitingOpensInTheProgramsFolder) {
  cshell.LaunchProgram("/opt/tools/run.sh", "--now", false, "/ignored");
  cshell.LaunchProgram("run.sh");
  ASSERT_EQ(fake.requests.size(), 2u);
  EXPECT_EQ(fake.requests[0].directory, "/opt/tools/");
  EXPECT_EQ(fake.requests[0].parameters, "--now");
  EXPECT_EQ(fake.requests[1].directory, "(none)");
  EXPECT_EQ(fake.requests[1].parameters, "");
  fake.exists = false;
  EXPECT_EQ(RaisedBy([&] { cshell.LaunchProgram("/none"); }).Number(), CShell::kFileNotFound);
  EXPECT_EQ(RaisedBy([&] { cshell.OpenDocument("/none"); }).Number(), CShell::kFileNotFound);
}

TEST_F(CShellTest, AnyOtherFailureIsTheComponentFailure) {
  fake.findCloseWorks = false;
  const auto error = RaisedBy([&] { cshell.OpenDocument("/srv/a.txt"); });
  EXPECT_EQ(error.Number(), -2147203449);
  EXPECT_EQ(error.Description(), "CShell component failure");
  EXPECT_TRUE(fake.requests.empty());
}

// OpenDocument's verb, from the file types under HKLM\SOFTWARE\Classes.
class VerbTest : public CShellTest {
 protected:
  void Set(const std::string& path, const std::string& text,
           registry::DWORD type = registry::REG_SZ) {
    registry::Key key;
    registry::RegCreateKeyEx(registry::HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\" + path, 0, nullptr,
                             0, registry::KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr);
    if (!text.empty()) {
      registry::RegSetValueEx(key.Get(), "", 0, type,
                              reinterpret_cast<const unsigned char*>(text.c_str()),
                              static_cast<registry::DWORD>(text.size() + 1));
    }
  }
  std::string VerbFor(const std::string& path) {
    fake.requests.clear();
    cshell.OpenDocument(path);
    return fake.requests.at(0).verb;
  }
};

TEST_F(VerbTest, TakesTheDefaultVerbThenOpenAmongTheVerbsThenTheFirstListed) {
  Set(".edt", "edtfile");
  Set("edtfile\\Shell", "edit");
  Set(".mix", "mixfile");
  Set("mixfile\\Shell\\print", "");
  Set("mixfile\\Shell\\Open", "");
  Set("mixfile\\Shell\\edit", "");
  Set(".amp", "ampfile");
  Set("ampfile\\Shell\\&OPEN", "");
  Set("ampfile\\Shell\\print", "");
  Set(".prt", "prtfile");
  Set("prtfile\\Shell\\print", "");
  Set("prtfile\\Shell\\view", "");
  Set(".bare", "barefile");
  Set("barefile\\Shell", "");
  Set(".exp", "expfile", registry::REG_EXPAND_SZ);
  Set("expfile\\Shell", "edit");
  EXPECT_EQ(VerbFor("/srv/a.edt"), "edit");
  EXPECT_EQ(VerbFor("/srv/a.mix"), "open");
  EXPECT_EQ(VerbFor("/srv/a.amp"), "open");
  EXPECT_EQ(VerbFor("/srv/a.prt"), "print");
  EXPECT_EQ(VerbFor("/srv/a.bare"), "(none)");  // no verb named: the shell's default applies
  EXPECT_EQ(VerbFor("/srv/a.exp"), "open");     // a file type that is not plain text is none
  EXPECT_EQ(VerbFor("/srv/my.docs/readme"), "open");
  EXPECT_EQ(VerbFor("/srv/readme"), "open");
  EXPECT_EQ(fake.requests.at(0).directory, "/srv/");
  EXPECT_EQ(fake.requests.at(0).parameters, "");
}

}  // namespace
