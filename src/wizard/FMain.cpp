#include "wizard/FMain.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QShortcut>

#include "errors/ErrorRecord.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "wizard/DeletedEntry.h"
#include "wizard/HandCursor.h"

namespace wizard {
namespace {

// Positions in the layout are in twips; the window is laid out at 96 dots an inch.
int Px(int twips) { return qRound(twips / 15.0); }

void Place(QWidget& control, const char* name, int left, int top, int width, int height) {
  control.setObjectName(QString::fromLatin1(name));
  control.setGeometry(Px(left), Px(top), Px(width), Px(height));
}

// An auto-size label: placed at its top-left corner and as large as its caption.
void PlaceAutoSize(QLabel& label, const char* name, int left, int top) {
  label.setObjectName(QString::fromLatin1(name));
  label.move(Px(left), Px(top));
  label.adjustSize();
}

void Bold(QWidget& control) {
  QFont font = control.font();
  font.setBold(true);
  control.setFont(font);
}

// A bold caption of two lines at the top of a page.
void PageHeading(QLabel& label, const QString& text) {
  label.setText(text);
  label.setWordWrap(true);
  label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Bold(label);
}

// Blue, not underlined at rest, with the hand pointer.
void LinkLook(QLabel& label) {
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
  label.setPalette(palette);
  static const QCursor hand = HandCursor();
  label.setCursor(hand);
}

}  // namespace

QString FMain::DefaultDatabasePath() {
  return QStringLiteral("\\\\%1\\Vss\\").arg(QStringLiteral(SCOURWELL_FILE_SERVER));
}

QString FMain::DesignTimeDatabasePath() { return DefaultDatabasePath().toLower(); }

const char* FMain::WebHost() { return SCOURWELL_WEB_HOST; }

const char* FMain::EMailAddress() { return SCOURWELL_EMAIL; }

FMain::FMain() {
  BuildControls();
  WireEvents();
  Form_Initialize();
  Form_Load();  // before the window is first shown
}

FMain::~FMain() = default;

void FMain::BuildControls() {
  setObjectName(QStringLiteral("FMain"));
  setWindowTitle(QStringLiteral("Pellbrook Scourwell"));
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(Px(7140), Px(4605));
  // The window was laid out for Microsoft Sans Serif; Liberation Sans has nearly its widths.
  QFont formFont;
  formFont.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                        QStringLiteral("Arial")});
  formFont.setPointSizeF(8.25);
  setFont(formFont);

  // The banner with the five step markers.
  Place(Frame1, "Frame1", -30, -135, 7380, 930);
  Frame1.setAutoFillBackground(true);
  QPalette white = Frame1.palette();
  white.setColor(QPalette::Window, Qt::white);
  Frame1.setPalette(white);
  Shape* shapes[] = {&Shape1, &Shape2, &Shape3, &Shape4, &Shape5};
  QLabel* shapeLabels[] = {&lblShape1, &lblShape2, &lblShape3, &lblShape4, &lblShape5};
  const int shapeLefts[] = {300, 1710, 3120, 4530, 5940};
  const char* shapeCaptions[] = {"Start", "List All", "Select", "Purge", "Finish"};
  for (int i = 0; i < 5; ++i) {
    const std::string number = std::to_string(i + 1);
    Place(*shapes[i], ("Shape" + number).c_str(), shapeLefts[i], 330, 945, 375);
    Place(*shapeLabels[i], ("lblShape" + number).c_str(), shapeLefts[i], 405, 945, 255);
    shapeLabels[i]->setText(QString::fromLatin1(shapeCaptions[i]));
    shapeLabels[i]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  }
  SetBorder(Shape1, true);
  QFrame* lines[] = {&Line1, &Line4, &Line2, &Line3};
  const char* lineNames[] = {"Line1", "Line4", "Line2", "Line3"};
  const int lineLefts[] = {1245, 2655, 4065, 5475};
  for (int i = 0; i < 4; ++i) {
    Place(*lines[i], lineNames[i], lineLefts[i], 450, 435, 15);
    lines[i]->setFrameShape(QFrame::HLine);
  }

  // Page 0, the login page.
  Place(frmHost0, "frmHost(0)", 75, 825, 7155, 3105);
  Place(lblPleaseWait, "lblPleaseWait", 75, 105, 6855, 510);
  PageHeading(lblPleaseWait,
              QStringLiteral(
                  "Please enter below the login information to be used and the VSS database where "
                  "Scourwell should search for deleted items."));
  Label1.setText(QStringLiteral("Login &Name:"));
  PlaceAutoSize(Label1, "Label1", 75, 840);
  Label1.setBuddy(&txtLoginName);
  Place(txtLoginName, "txtLoginName", 1245, 795, 1590, 315);
  txtLoginName.setText(QStringLiteral("Admin"));
  Label2.setText(QStringLiteral("&Password:"));
  PlaceAutoSize(Label2, "Label2", 75, 1245);
  Label2.setBuddy(&txtPassword);
  Place(txtPassword, "txtPassword", 1245, 1185, 1590, 315);
  txtPassword.setEchoMode(QLineEdit::Password);
  txtPassword.setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // '*'
  Label3.setText(QStringLiteral("&Database path:"));
  PlaceAutoSize(Label3, "Label3", 75, 1815);
  Label3.setBuddy(&txtVssDb);
  Place(txtVssDb, "txtVssDb", 1245, 1770, 5685, 315);
  txtVssDb.setText(DesignTimeDatabasePath());
  Place(lblChangePath, "lblChangePath", 6315, 2130, 570, 210);
  lblChangePath.setText(QStringLiteral("Change"));
  lblChangePath.setAlignment(Qt::AlignRight | Qt::AlignTop);
  LinkLook(lblChangePath);
  lblNowSearchingIn.setText(QStringLiteral("Now searching in:"));
  Bold(lblNowSearchingIn);
  PlaceAutoSize(lblNowSearchingIn, "lblNowSearchingIn", 75, 2760);
  lblNowSearchingIn.hide();
  Place(lblSearchedFolder, "lblSearchedFolder", 1680, 2760, 5220, 210);
  lblSearchedFolder.setText(QStringLiteral("..."));
  lblSearchedFolder.hide();

  // Page 1, the selection page.
  Place(frmHost1, "frmHost(1)", 75, 825, 7440, 3060);
  Place(Label6, "Label6", 105, 75, 6825, 510);
  PageHeading(
      Label6,
      QStringLiteral(
          "Scourwell has analyzed the database and found the following items as being deleted but "
          "not purged. Please check the items you want to purge:"));
  Place(List1, "List1", 75, 585, 6855, 2085);
  // Every entry is one line of text: uniform sizes spare the list a layout pass over every
  // entry each time one is added or removed.
  List1.setUniformItemSizes(true);
  List1.setSelectionMode(QAbstractItemView::SingleSelection);
  lblCheckAll.setText(QStringLiteral("Uncheck All"));
  PlaceAutoSize(lblCheckAll, "lblCheckAll", 105, 2760);
  LinkLook(lblCheckAll);
  Place(lblCount, "lblCount", 4755, 2760, 2145, 195);
  lblCount.setText(QStringLiteral("<count>"));
  lblCount.setAlignment(Qt::AlignRight | Qt::AlignTop);

  // Page 2, the progress page.
  Place(frmHost2, "frmHost(2)", 75, 825, 6990, 3060);
  Place(lblNowPurging, "lblNowPurging", 150, 150, 3330, 240);
  lblNowPurging.setText(QStringLiteral("Now purging file:"));
  Bold(lblNowPurging);
  Place(lblPurgeFileName, "lblPurgeFileName", 150, 435, 6675, 225);
  lblPurgeFileName.setText(QStringLiteral("<file name here>"));

  // The button row.
  Place(Frame5, "Frame5", -60, 3885, 7290, 90);
  Frame5.setFrameShape(QFrame::HLine);
  Frame5.setFrameShadow(QFrame::Sunken);
  lblWWW.setText(QString::fromUtf8(WebHost()));
  PlaceAutoSize(lblWWW, "lblWWW", 120, 4065);
  LinkLook(lblWWW);
  lblEMail.setText(QString::fromUtf8(EMailAddress()));
  PlaceAutoSize(lblEMail, "lblEMail", 120, 4305);
  LinkLook(lblEMail);
  Place(cmdNext, "cmdNext", 4950, 4095, 990, 390);
  cmdNext.setText(QStringLiteral("&List All >>"));
  cmdNext.setDefault(true);
  Place(cmdCancel, "cmdCancel", 6030, 4095, 990, 390);
  cmdCancel.setText(QStringLiteral("&Close"));

  // Only the fields, the list and the buttons take the focus, in this order.
  for (QWidget* control : findChildren<QWidget*>()) {
    control->setFocusPolicy(Qt::NoFocus);
  }
  QWidget* tabOrder[] = {&txtLoginName, &txtPassword, &txtVssDb, &List1, &cmdNext, &cmdCancel};
  for (QWidget* control : tabOrder) {
    control->setFocusPolicy(Qt::StrongFocus);
  }
  for (int i = 0; i + 1 < 6; ++i) {
    setTabOrder(tabOrder[i], tabOrder[i + 1]);
  }
  frmHost1.hide();
  frmHost2.hide();
}

void FMain::WireEvents() {
  connect(&cmdNext, &QPushButton::clicked, this, [this] { cmdNext_Click(); });
  connect(&cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
  connect(&List1, &QListWidget::itemChanged, this, [this](QListWidgetItem*) {
    if (!checkingAll_) {
      List1_ItemCheck(-1);  // the handler does not use the index; finding it costs a scan
    }
  });
  // Enter presses the button that has the focus, else the default button; Esc the cancel button.
  const auto enter = [this] {
    if (focusWidget() == &cmdCancel) {
      cmdCancel.click();
    } else if (cmdNext.isEnabled()) {
      cmdNext.click();
    }
  };
  connect(&returnKey_, &QShortcut::activated, this, enter);
  connect(&enterKey_, &QShortcut::activated, this, enter);
  connect(&escapeKey_, &QShortcut::activated, this, [this] { cmdCancel.click(); });

  // Pointer movements reach the handlers of the window, the pages, the list, the cancel button
  // and the link labels; other controls keep them to themselves.
  setMouseTracking(true);
  for (QWidget* control : findChildren<QWidget*>()) {
    control->setAttribute(Qt::WA_NoMousePropagation);
  }
  QWidget* tracked[] = {&frmHost0,    &frmHost1, &frmHost2,      List1.viewport(), &cmdCancel,
                        &lblCheckAll, &lblWWW,   &lblChangePath, &lblEMail};
  for (QWidget* control : tracked) {
    control->setMouseTracking(true);
    control->installEventFilter(this);
  }
  for (QLineEdit* field : {&txtLoginName, &txtPassword, &txtVssDb}) {
    field->installEventFilter(this);  // their GotFocus handlers
  }
  for (QWidget* page :
       std::initializer_list<QWidget*>{&frmHost0, &frmHost1, &frmHost2, List1.viewport()}) {
    page->setAttribute(Qt::WA_NoMousePropagation, false);
  }
}

bool FMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove) {
    if (watched == &cmdCancel) {
      cmdCancel_MouseMove();
    } else if (watched == List1.viewport()) {
      List1_MouseMove();
    } else if (watched == &lblCheckAll) {
      lblCheckAll_MouseMove();
    } else if (watched == &lblWWW) {
      lblWWW_MouseMove();
    } else if (watched == &lblChangePath) {
      lblChangePath_MouseMove();
    } else if (watched == &lblEMail) {
      lblEMail_MouseMove();
    } else {
      for (int index = 0; index < 3; ++index) {
        if (watched == &frmHost(index)) {
          frmHost_MouseMove(index);
        }
      }
    }
  } else if (event->type() == QEvent::FocusIn) {
    // The field takes the focus first, then the handler selects its text.
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field != nullptr) {
      field->event(event);
      if (field == &txtLoginName) {
        txtLoginName_GotFocus();
      } else if (field == &txtPassword) {
        txtPassword_GotFocus();
      } else if (field == &txtVssDb) {
        txtVssDb_GotFocus();
      }
      return true;
    }
  } else if (event->type() == QEvent::MouseButtonRelease) {
    // A label is clicked when the left button comes up over it.
    const auto* mouse = static_cast<QMouseEvent*>(event);
    auto* label = qobject_cast<QLabel*>(watched);
    if (label != nullptr && mouse->button() == Qt::LeftButton &&
        label->rect().contains(mouse->position().toPoint())) {
      if (label == &lblCheckAll) {
        lblCheckAll_Click();
        return true;
      }
      if (label == &lblWWW) {
        lblWWW_Click();
        return true;
      }
      if (label == &lblEMail) {
        lblEMail_Click();
        return true;
      }
      if (label == &lblChangePath) {
        lblChangePath_Click();
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void FMain::mouseMoveEvent(QMouseEvent* event) {
  Form_MouseMove();
  QWidget::mouseMoveEvent(event);
}

void FMain::closeEvent(QCloseEvent* event) {
  if (running_) {
    // A search or purge is pumping messages inside a click handler: stop it as the Stop button
    // would, and close once it has returned.
    StopRequested = true;
    closeRequested_ = true;
    event->ignore();
    return;
  }
  int cancel = 0;
  Form_Unload(cancel);
  if (cancel != 0) {
    event->ignore();
    return;
  }
  event->accept();
}

QFrame& FMain::frmHost(int index) {
  QFrame* pages[] = {&frmHost0, &frmHost1, &frmHost2};
  return *pages[index];
}

DeletedEntry& FMain::Entry(int index) {
  auto* entry = dynamic_cast<DeletedEntry*>(List1.item(index));
  if (entry == nullptr) {
    throw errors::ErrorRecord(DeletedItemCollection::kInvalidArgument, "Scourwell",
                              "Invalid procedure call or argument");
  }
  return *entry;
}

void FMain::SetBorder(Shape& shape, bool red) {
  shape.SetBorderColor(red ? QColor(255, 0, 0) : palette().color(QPalette::WindowText));
}

}  // namespace wizard
