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
//
//   FMain.cpp         the controls and their layout, event wiring
//   FMainFlow.cpp     Form_Load, SetControls, SetHourglass, cmdNext_Click, cmdCancel_Click, cursor
//   handlers FMainSearch.cpp   SearchVssItem FMainPurge.cpp    PurgeVssItems FMainList.cpp
//   List1_ItemCheck, lblCheckAll_Click
class FMain : public QWidget {
 public:
  // The database path the login page starts with: the share Vss on the file server.
  static QString DesignTimeDatabasePath();

  FMain();
  ~FMain() override;

  // Procedures and event handlers.
  void Form_Load();
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
  bool Busy = false;
  bool AllChecked = false;

  // A search or purge is pumping messages; closing the window then waits for its end.
  bool running_ = false;
  bool closeRequested_ = false;
  // Check-all sets every entry itself and applies the purge-button rule once afterwards.
  bool checkingAll_ = false;
};

}  // namespace wizard
