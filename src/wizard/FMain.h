#pragma once

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "settings/CAppSettings.h"
#include "settings/CFormRestore.h"
#include "settings/FormObject.h"
#include "wizard/DeletedItemCollection.h"
#include "wizard/Shape.h"

namespace sourcecontrol {
class IVSSDatabase;
class IVSSItem;
}  // namespace sourcecontrol

namespace wizard {

class DeletedEntry;

// The main window: a wizard that opens a database, lists every deleted item in it, and purges
// the items the user checks. Its handlers carry the names of the controls and events they
// serve; each numbered procedure reports a failing statement with its number and goes on.
// Where each concern lives:
// - FMain.cpp: the controls and their layout, event wiring.
// - FMainLifecycle.cpp: Form_Initialize, Form_Load, Form_Unload, the window as a FormObject.
// - FMainFlow.cpp: SetControls, SetHourglass, cmdNext_Click, cmdCancel_Click, the pointer.
// - FMainSearch.cpp: SearchVssItem.
// - FMainPurge.cpp: PurgeVssItems.
// - FMainList.cpp: List1_ItemCheck, lblCheckAll_Click.
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
  void txtVssDb_GotFocus();
  void lblChangePath_Click();

  // What the placement memory needs of the window.
  std::string Name() const override { return "FMain"; }
  windowing::HWND hWnd() const override;
  bool Visible() const override { return isVisible(); }
  bool Sizable() const override { return false; }
  double OuterWidth() const override { return frameGeometry().width(); }
  double OuterHeight() const override { return frameGeometry().height(); }
  void SetWindowState(WindowState state) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void WireEvents();
  QFrame& frmHost(int index);
  // The entry at `index`; raises error 5 when there is none.
  DeletedEntry& Entry(int index);
  void SetBorder(Shape& shape, bool red);

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
  QLabel lblChangePath{&frmHost0};
  QLabel lblNowSearchingIn{&frmHost0};
  QLabel lblSearchedFolder{&frmHost0};
  QFrame frmHost1{this};
  QLabel Label6{&frmHost1};
  QListWidget List1{&frmHost1};
  QLabel lblCheckAll{&frmHost1};
  QLabel lblCount{&frmHost1};
  QFrame frmHost2{this};
  QLabel lblNowPurging{&frmHost2};
  QLabel lblPurgeFileName{&frmHost2};
  QFrame Frame5{this};
  QLabel lblWWW{this};
  QLabel lblEMail{this};
  QPushButton cmdNext{this};
  QPushButton cmdCancel{this};
  QShortcut returnKey_{Qt::Key_Return, this};
  QShortcut enterKey_{Qt::Key_Enter, this};
  QShortcut escapeKey_{Qt::Key_Escape, this};

  // The window's state.
  DeletedItemCollection DeletedItems;
  std::int16_t WizardStep = 0;  // 1 login page, 2 selection page, 3 progress page
  std::shared_ptr<sourcecontrol::IVSSDatabase> Database;
  bool StopRequested = false;
  std::shared_ptr<settings::CAppSettings> AppSettings;
  std::shared_ptr<settings::CFormRestore> FormRestore;
  bool Busy = false;
  bool AllChecked = false;

  // A search or purge is pumping messages; closing the window then waits for its end.
  bool running_ = false;
  bool closeRequested_ = false;
  // Check-all sets every entry itself and applies the purge-button rule once afterwards.
  bool checkingAll_ = false;
};

}  // namespace wizard
