#pragma once

#include <QCheckBox>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTreeView>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "settings/CAppSettings.h"
#include "settings/CFormRestore.h"
#include "settings/FormObject.h"
#include "wizard/Anchors.h"
#include "wizard/ElidingLabel.h"
#include "wizard/LinkLabel.h"
#include "wizard/ReportError.h"
#include "wizard/Shape.h"
#include "wizardcore/ContentViews.h"
#include "wizardcore/DeletedItemCollection.h"
#include "wizardcore/DeletedItemsModel.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/Host.h"
#include "wizardcore/PurgeReport.h"
#include "wizardcore/ShownEntries.h"

namespace sourcecontrol {
class IVSSDatabase;
class IVSSItem;
}  // namespace sourcecontrol

namespace wizardcore {
struct PurgeSummary;
}

namespace wizard {

// The main window: a wizard that opens a database, lists every deleted item in it, and purges
// the items the user checks. Its handlers carry the names of the controls and events they
// serve; each numbered procedure reports a failing statement with its number and goes on.
// Where each concern lives:
// - FMain.cpp: the controls and their layout, event wiring.
// - FMainLifecycle.cpp: Form_Initialize, Form_Load, Form_Unload, the window as a FormObject.
// - FMainFlow.cpp: SetControls, SetHourglass, cmdNext_Click, cmdCancel_Click, the pointer.
// - FMainRun.cpp: SearchVssItem and PurgeVssItems, which run the search and the purge of
//   wizardcore/ (Search.cpp, Purge.cpp) with the window as their host; the purge's question
//   and its summary on the finish page.
// - FMainList.cpp: List1_ItemCheck, lblCheckAll_Click, the filter field and its two buttons,
//   the lines under the list.
// - FMainLayout.cpp: the window's size and what follows it.
// - FMainRecover.cpp: cmdRecover_Click, the recover of the checked entries and its account.
// - FMainCopy.cpp: the copy kept before a purge, lblKeptCopy_Click.
// - FMainLinks.cpp: UnderlineLabel(s), the links' pointer handlers, lblWWW_Click, lblEMail_Click.
// - FMainLogin.cpp: the fields' GotFocus handlers, lblChangePath_Click.
class FMain : public QWidget, public settings::FormObject {
 public:
  // The database path the login page starts with: the share Vss on the file server. The
  // settings store's default has the server's name as written, the text box's lower case.
  static QString DefaultDatabasePath();
  static QString DesignTimeDatabasePath();
  // The maker's web host and e-mail address, as the link labels show them.
  static const char* WebHost();
  static const char* EMailAddress();

  FMain();
  ~FMain() override;

  // Procedures and event handlers.
  void Form_Initialize();
  void Form_Load();
  void Form_Unload(int& cancel);
  void SetControls();
  void SetHourglass(bool on);
  void cmdNext_Click();
  void cmdCancel_Click();
  void cmdCancel_MouseMove();
  void Form_MouseMove();
  void frmHost_MouseMove(int index);
  void List1_MouseMove();
  void SearchVssItem(const std::shared_ptr<sourcecontrol::IVSSItem>& item);
  void PurgeVssItems();
  void List1_ItemCheck(int index);
  void lblCheckAll_Click();
  void UnderlineLabel(QLabel& label, bool underlined);
  void UnderlineLabels(const QLabel* label);
  void lblCheckAll_MouseMove();
  void lblWWW_MouseMove();
  void lblChangePath_MouseMove();
  void lblEMail_MouseMove();
  void lblWWW_Click();
  void lblEMail_Click();
  void txtLoginName_GotFocus();
  void txtPassword_GotFocus();
  // Empties the password field once the database is open, wiping the text it held.
  void ForgetPassword() noexcept;
  void txtVssDb_GotFocus();
  void lblChangePath_Click();
  void txtFilter_Change();
  void cmdCheckShown_Click();
  void cmdUncheckShown_Click();
  // The age filter: shows only the entries deleted before the date, while its box is checked.
  void chkDeletedBefore_Click();
  void dtpDeletedBefore_Change();
  void lblReport_Click();
  void lblKeptCopy_Click();
  void cmdRecover_Click();
  // Writes the latest content of the entry under the cursor to a private file and opens it.
  void cmdView_Click();
  // Puts a database path named on the command line in the path field, in place of the one
  // remembered; it is remembered in its turn only once it opens.
  void UseDatabasePath(const QString& path);

  // What the placement memory needs of the window.
  std::string Name() const override { return "FMain"; }
  windowing::HWND hWnd() const override;
  bool Visible() const override { return isVisible(); }
  bool Sizable() const override { return true; }
  double OuterWidth() const override { return frameGeometry().width(); }
  double OuterHeight() const override { return frameGeometry().height(); }
  void SetWindowState(WindowState state) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // What the search and the purge see of the window while they run.
  class RunHost final : public wizardcore::Host {
   public:
    explicit RunHost(FMain& window) : window_(window) {}
    void StatementFailed(const std::string& source, std::int32_t line,
                         const errors::CapturedError& error) noexcept override;
    void DoEvents() override;
    bool StopRequested() const override { return window_.StopRequested; }
    void ShowSearchedFolder(const std::string& spec) override;
    void ShowChecking(const std::string& line) override;
    void ShowNowPurging(const std::string& caption) override;
    void ShowPurgeFileName(const std::string& spec) override;
    void Log(const std::string& line) override;

   private:
    FMain& window_;
  };

  void BuildControls();
  void BuildSelectPage();
  void WireEvents();
  void AnchorControls();
  // Gives the list the room between the filter row and the lines under it.
  void LayOutList();
  // Room for texts longer than the English ones: the buttons' widths, the fields after their
  // captions; and the account of a run with the outcomes under it.
  void FitToTexts();
  void LayOutSummary();
  // A pointer event of a link label, for its pointer and click handlers.
  QFrame& frmHost(int index);
  void SetBorder(Shape& shape, bool red);
  // Names, descriptions and the focus order for keyboard users and screen readers.
  void MakeAccessible();
  // Tells a screen reader which step marker (0 to 4) is the current one.
  void NameStep(int step, bool current);
  // Asks before a purge; true to go on.
  bool ConfirmPurge();
  // The lines under the list: what the checked entries take, and why the list is incomplete or
  // why nothing can be purged.
  void ShowSelection();
  void ShowNotice();
  // Puts the finish page's link to the report of a run ("purge", "recover"), or why it could not
  // be written.
  void ShowReportLink(const std::string& run, const std::string& path,
                      const errors::CapturedError& error);
  // Opens the file a finish-page link names through the shell; `procedure` reports a failure.
  void OpenFileLink(const char* procedure, const std::string& path);
  // The outcomes that were not a success, one line each, in the finish page's list.
  void ShowOutcomes(const std::vector<wizardcore::OutcomeRow>& outcomes,
                    wizardcore::Outcome success);
  // Where the copy kept before a purge goes (General\KeepCopyFolder, else the default); none
  // when General\KeepCopy says not to keep one.
  std::optional<std::filesystem::path> KeptCopyFolder();
  // The finish page's link to the copy kept before the purge; hidden when `path` is empty.
  void ShowKeptCopy(const std::string& path);
  // The count under the list: how many entries were found, or how many of them the filter shows.
  void ShowCount();
  // Checked entries that the filter hides.
  int CheckedHidden() const;
  void CheckShown(bool checked);

  // The window is being destroyed: its controls' events are no more handled. Declared before the
  // controls, so that it outlives them.
  bool destroying_ = false;

  // The controls, parents before their children, named as in the window's layout.
  QFrame Frame1{this};
  Shape Shape1{&Frame1};
  Shape Shape2{&Frame1};
  Shape Shape3{&Frame1};
  Shape Shape4{&Frame1};
  Shape Shape5{&Frame1};
  QLabel lblShape1{&Frame1};
  QLabel lblShape2{&Frame1};
  QLabel lblShape3{&Frame1};
  QLabel lblShape4{&Frame1};
  QLabel lblShape5{&Frame1};
  QFrame Line1{&Frame1};
  QFrame Line4{&Frame1};
  QFrame Line2{&Frame1};
  QFrame Line3{&Frame1};
  QFrame frmHost0{this};
  QLabel lblPleaseWait{&frmHost0};
  QLabel Label1{&frmHost0};
  QLineEdit txtLoginName{&frmHost0};
  QLabel Label2{&frmHost0};
  QLineEdit txtPassword{&frmHost0};
  QLabel Label3{&frmHost0};
  QLineEdit txtVssDb{&frmHost0};
  LinkLabel lblChangePath{&frmHost0};
  QLabel lblNowSearchingIn{&frmHost0};
  ElidingLabel lblSearchedFolder{&frmHost0};
  QFrame frmHost1{this};
  QLabel Label6{&frmHost1};
  QLabel lblFilter{&frmHost1};
  QLineEdit txtFilter{&frmHost1};
  QPushButton cmdCheckShown{&frmHost1};
  QPushButton cmdUncheckShown{&frmHost1};
  QCheckBox chkDeletedBefore{&frmHost1};
  QDateEdit dtpDeletedBefore{&frmHost1};
  QTreeView List1{&frmHost1};
  QLabel lblNotice{&frmHost1};
  LinkLabel lblCheckAll{&frmHost1};
  ElidingLabel lblSelection{&frmHost1};
  QLabel lblCount{&frmHost1};
  QFrame frmHost2{this};
  QLabel lblNowPurging{&frmHost2};
  ElidingLabel lblPurgeFileName{&frmHost2};
  QLabel lblSummary{&frmHost2};
  QPlainTextEdit txtOutcomes{&frmHost2};
  LinkLabel lblReport{&frmHost2};
  LinkLabel lblKeptCopy{&frmHost2};
  QFrame Frame5{this};
  LinkLabel lblWWW{this};
  LinkLabel lblEMail{this};
  QPushButton cmdView{this};
  QPushButton cmdRecover{this};
  QPushButton cmdNext{this};
  QPushButton cmdCancel{this};
  QShortcut returnKey_{Qt::Key_Return, this};
  QShortcut enterKey_{Qt::Key_Enter, this};
  QShortcut escapeKey_{Qt::Key_Escape, this};

  // The window's state.
  wizardcore::DeletedItemCollection DeletedItems;
  std::int16_t WizardStep = 0;  // 1 login page, 2 selection page, 3 progress page
  std::shared_ptr<sourcecontrol::IVSSDatabase> Database;
  bool StopRequested = false;
  std::shared_ptr<settings::CAppSettings> AppSettings;
  std::shared_ptr<settings::CFormRestore> FormRestore;
  bool Busy = false;
  bool AllChecked = false;

  // The entries of the last search, and the list's view of them.
  wizardcore::DeletedList listed_;
  wizardcore::DeletedItemsModel listModel_{listed_};
  wizardcore::ShownEntries shownEntries_{listModel_};
  wizardcore::ContentViews views_;  // the files View wrote, removed with the window
  // Whether the user may destroy in the open database; empty when it could not be read.
  std::optional<bool> mayDestroy_;
  // What the question of the purge asked for last said (figures, hidden count, advice), for its
  // report.
  wizardcore::PurgeContext asked_;
  // The report written for the last purge; empty when none could be written.
  std::string reportPath_;
  // The copy kept before the last purge; empty when none was.
  std::string keptPath_;

  BoxReporter report_;
  RunHost host_{*this};
  Anchors anchors_;

  // A search or purge is pumping messages; closing the window then waits for its end.
  bool running_ = false;
  bool closeRequested_ = false;
};

}  // namespace wizard
