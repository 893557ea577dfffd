#include "wizard/FMain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>

#include "platform/translation/Tr.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "wizard/HandCursor.h"
#include "wizard/Twips.h"

namespace wizard {

using translation::Tr;
namespace {

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

// Blue, not underlined at rest, with the hand pointer; grey like any disabled text when disabled.
void LinkLook(QLabel& label) {
  QPalette palette = label.palette();
  palette.setColor(QPalette::Active, QPalette::WindowText, QColor(0, 0, 255));
  palette.setColor(QPalette::Inactive, QPalette::WindowText, QColor(0, 0, 255));
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

// Controls go one by one after this; the focus leaving one of them must not reach handlers that
// touch the others.
FMain::~FMain() { destroying_ = true; }

void FMain::BuildControls() {
  setObjectName(QStringLiteral("FMain"));
  setWindowTitle(QStringLiteral("Pellbrook Scourwell"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  // The layout's size is the size at first start and the smallest; the window may grow.
  setMinimumSize(Px(7140), Px(4605));
  resize(minimumSize());
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
  const char* shapeCaptions[] = {
      QT_TRANSLATE_NOOP("FMain", "Start"), QT_TRANSLATE_NOOP("FMain", "List All"),
      QT_TRANSLATE_NOOP("FMain", "Select"), QT_TRANSLATE_NOOP("FMain", "Purge"),
      QT_TRANSLATE_NOOP("FMain", "Finish")};
  for (int i = 0; i < 5; ++i) {
    const std::string number = std::to_string(i + 1);
    Place(*shapes[i], ("Shape" + number).c_str(), shapeLefts[i], 330, 945, 375);
    Place(*shapeLabels[i], ("lblShape" + number).c_str(), shapeLefts[i], 405, 945, 255);
    shapeLabels[i]->setText(Tr("FMain", shapeCaptions[i]));
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
              Tr("FMain",
                 "Please enter below the login information to be used and the VSS database where "
                 "Scourwell should search for deleted items."));
  Label1.setText(Tr("FMain", "Login &Name:"));
  PlaceAutoSize(Label1, "Label1", 75, 840);
  Label1.setBuddy(&txtLoginName);
  Place(txtLoginName, "txtLoginName", 1245, 795, 1590, 315);
  txtLoginName.setText(QStringLiteral("Admin"));
  Label2.setText(Tr("FMain", "&Password:"));
  PlaceAutoSize(Label2, "Label2", 75, 1245);
  Label2.setBuddy(&txtPassword);
  Place(txtPassword, "txtPassword", 1245, 1185, 1590, 315);
  txtPassword.setEchoMode(QLineEdit::Password);
  txtPassword.setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // '*'
  Label3.setText(Tr("FMain", "&Database path:"));
  PlaceAutoSize(Label3, "Label3", 75, 1815);
  Label3.setBuddy(&txtVssDb);
  Place(txtVssDb, "txtVssDb", 1245, 1770, 5685, 315);
  txtVssDb.setText(DesignTimeDatabasePath());
  Place(lblChangePath, "lblChangePath", 6315, 2130, 570, 210);
  lblChangePath.setText(Tr("FMain", "Change"));
  lblChangePath.setAlignment(Qt::AlignRight | Qt::AlignTop);
  LinkLook(lblChangePath);
  lblNowSearchingIn.setText(Tr("FMain", "Now searching in:"));
  Bold(lblNowSearchingIn);
  PlaceAutoSize(lblNowSearchingIn, "lblNowSearchingIn", 75, 2760);
  lblNowSearchingIn.hide();
  Place(lblSearchedFolder, "lblSearchedFolder", 1680, 2760, 5220, 210);
  lblSearchedFolder.setText(QStringLiteral("..."));
  lblSearchedFolder.hide();

  BuildSelectPage();

  // Page 2, the progress page.
  Place(frmHost2, "frmHost(2)", 75, 825, 6990, 3060);
  Place(lblNowPurging, "lblNowPurging", 150, 150, 3330, 240);
  lblNowPurging.setText(Tr("FMain", "Now purging file:"));
  Bold(lblNowPurging);
  Place(lblPurgeFileName, "lblPurgeFileName", 150, 435, 6675, 225);
  lblPurgeFileName.setText(QStringLiteral("<file name here>"));
  // What the purge did, or why a search found less than there may be.
  Place(lblSummary, "lblSummary", 150, 435, 6675, 1125);
  lblSummary.setWordWrap(true);
  lblSummary.setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblSummary.setTextInteractionFlags(Qt::TextSelectableByMouse);
  lblSummary.hide();
  // Every entry that failed or was kept, with its reason; and the report kept of the purge.
  Place(txtOutcomes, "txtOutcomes", 150, 1590, 6675, 840);
  txtOutcomes.setReadOnly(true);
  txtOutcomes.setLineWrapMode(QPlainTextEdit::NoWrap);
  txtOutcomes.hide();
  Place(lblReport, "lblReport", 150, 2490, 6675, 210);
  lblReport.setText(Tr("FMain", "Open the purge report"));
  LinkLook(lblReport);
  lblReport.hide();
  // The copy kept before the purge.
  Place(lblKeptCopy, "lblKeptCopy", 150, 2760, 6675, 210);
  lblKeptCopy.setText(Tr("FMain", "Open the copy kept before the purge"));
  LinkLook(lblKeptCopy);
  lblKeptCopy.hide();

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
  // The selection page's look at the entry under the cursor before it goes.
  Place(cmdView, "cmdView", 2790, 4095, 990, 390);
  cmdView.setText(Tr("FMain", "&View"));
  cmdView.hide();
  // The selection page's second way on: the checked entries come back instead of going.
  Place(cmdRecover, "cmdRecover", 3870, 4095, 990, 390);
  cmdRecover.setText(Tr("FMain", "&Recover"));
  cmdRecover.hide();
  Place(cmdNext, "cmdNext", 4950, 4095, 990, 390);
  cmdNext.setText(Tr("FMain", "&List All >>"));
  cmdNext.setDefault(true);
  Place(cmdCancel, "cmdCancel", 6030, 4095, 990, 390);
  cmdCancel.setText(Tr("FMain", "&Close"));

  // Only the fields, the links, the list and the buttons take the focus.
  for (QWidget* control : findChildren<QWidget*>()) {
    control->setFocusPolicy(Qt::NoFocus);
  }
  MakeAccessible();
  frmHost1.hide();
  frmHost2.hide();
  FitToTexts();
  AnchorControls();
}

void FMain::BuildSelectPage() {
  Place(frmHost1, "frmHost(1)", 75, 825, 7440, 3060);
  Place(Label6, "Label6", 105, 75, 6825, 510);
  PageHeading(
      Label6,
      Tr("FMain",
         "Scourwell has analyzed the database and found the following items as being deleted but "
         "not purged. Please check the items you want to purge:"));
  // The filter row: which entries the list shows, and check boxes set for those alone.
  lblFilter.setText(Tr("FMain", "&Filter:"));
  PlaceAutoSize(lblFilter, "lblFilter", 105, 645);
  lblFilter.setBuddy(&txtFilter);
  Place(txtFilter, "txtFilter", 675, 600, 2805, 315);
  txtFilter.setPlaceholderText(Tr("FMain", "names, * and ? as wildcards"));
  txtFilter.setClearButtonEnabled(true);
  Place(cmdCheckShown, "cmdCheckShown", 3600, 592, 1590, 330);
  cmdCheckShown.setText(Tr("FMain", "Chec&k shown"));
  Place(cmdUncheckShown, "cmdUncheckShown", 5340, 592, 1590, 330);
  cmdUncheckShown.setText(Tr("FMain", "&Uncheck shown"));

  // The age filter, off until its box is checked: a year ago by default, the usual policy.
  Place(chkDeletedBefore, "chkDeletedBefore", 105, 990, 1650, 315);
  chkDeletedBefore.setText(Tr("FMain", "Deleted &before:"));
  Place(dtpDeletedBefore, "dtpDeletedBefore", 1800, 990, 1680, 315);
  dtpDeletedBefore.setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  dtpDeletedBefore.setCalendarPopup(true);
  dtpDeletedBefore.setDate(QDate::currentDate().addYears(-1));
  dtpDeletedBefore.setEnabled(false);

  Place(List1, "List1", 75, 1380, 6855, 1290);
  List1.setModel(&shownEntries_);
  List1.setRootIsDecorated(false);
  List1.setItemsExpandable(false);
  // Every entry is one line of text: uniform heights spare the list a layout pass over every
  // entry each time one is added or removed.
  List1.setUniformRowHeights(true);
  List1.setSelectionMode(QAbstractItemView::SingleSelection);
  List1.setAllColumnsShowFocus(true);
  // The path takes what the other columns leave, and never less than it needs to be read
  // (LayOutList); the list scrolls sideways on a narrow window. Every column can be resized.
  List1.header()->setStretchLastSection(false);
  List1.header()->setSectionResizeMode(QHeaderView::Interactive);
  List1.setColumnWidth(wizardcore::DeletedItemsModel::kKindColumn, Px(690));
  List1.setColumnWidth(wizardcore::DeletedItemsModel::kTakesColumn, Px(1650));
  List1.setColumnWidth(wizardcore::DeletedItemsModel::kDeletedOnColumn, Px(1620));
  List1.setColumnWidth(wizardcore::DeletedItemsModel::kDeletedByColumn, Px(900));
  // A click on a column's header sorts the view by it; the list starts in the order found (no
  // column), and the purge keeps that order whatever the view shows.
  List1.header()->setSortIndicator(-1, Qt::AscendingOrder);
  List1.setSortingEnabled(true);

  // Why the list may be incomplete, or why nothing can be purged; shown only then.
  Place(lblNotice, "lblNotice", 105, 2340, 6825, 390);
  lblNotice.setWordWrap(true);
  lblNotice.setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette dark = lblNotice.palette();
  dark.setColor(QPalette::WindowText, QColor(160, 0, 0));
  lblNotice.setPalette(dark);
  lblNotice.hide();

  lblCheckAll.setText(Tr("FMain", "Uncheck All"));
  PlaceAutoSize(lblCheckAll, "lblCheckAll", 105, 2760);
  LinkLook(lblCheckAll);
  Place(lblSelection, "lblSelection", 1245, 2760, 4200, 195);
  Place(lblCount, "lblCount", 5505, 2760, 1395, 195);
  lblCount.setText(QStringLiteral("<count>"));
  lblCount.setAlignment(Qt::AlignRight | Qt::AlignTop);
}

void FMain::WireEvents() {
  connect(&cmdNext, &QPushButton::clicked, this, [this] { cmdNext_Click(); });
  connect(&cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
  connect(&cmdRecover, &QPushButton::clicked, this, [this] { cmdRecover_Click(); });
  connect(&cmdView, &QPushButton::clicked, this, [this] { cmdView_Click(); });
  // A click on a check box has gone through the rule between the boxes: the purge button's rule
  // runs once for it, however many boxes followed.
  connect(&listModel_, &wizardcore::DeletedItemsModel::UserChecked, this,
          [this](int entry) { List1_ItemCheck(entry); });
  connect(&txtFilter, &QLineEdit::textChanged, this, [this] { txtFilter_Change(); });
  connect(&cmdCheckShown, &QPushButton::clicked, this, [this] { cmdCheckShown_Click(); });
  connect(&chkDeletedBefore, &QCheckBox::clicked, this, [this] { chkDeletedBefore_Click(); });
  connect(&dtpDeletedBefore, &QDateEdit::dateChanged, this, [this] { dtpDeletedBefore_Change(); });
  connect(&cmdUncheckShown, &QPushButton::clicked, this, [this] { cmdUncheckShown_Click(); });
  // Enter presses the button or link that has the focus, else the default button; Esc the cancel
  // button.
  // In the filter field, which filters as it is typed, Enter does nothing: it must not start a
  // purge.
  const auto enter = [this] {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
      button->click();
    } else if (auto* link = qobject_cast<QLabel*>(focusWidget())) {
      // A link with the focus acts on Enter as on Space.
      QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
      QCoreApplication::sendEvent(link, &space);
    } else if (focusWidget() != &txtFilter && focusWidget() != &dtpDeletedBefore &&
               focusWidget() != &chkDeletedBefore && cmdNext.isEnabled()) {
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
  QWidget* tracked[] = {&frmHost0, &frmHost1, &frmHost2, List1.viewport(), &cmdCancel};
  for (QWidget* control : tracked) {
    control->setMouseTracking(true);
    control->installEventFilter(this);
  }
  // Each link label with its pointer and click handlers; none runs once the window is going.
  const struct {
    LinkLabel& label;
    void (FMain::*hovered)();
    void (FMain::*clicked)();
  } links[] = {{lblCheckAll, &FMain::lblCheckAll_MouseMove, &FMain::lblCheckAll_Click},
               {lblWWW, &FMain::lblWWW_MouseMove, &FMain::lblWWW_Click},
               {lblChangePath, &FMain::lblChangePath_MouseMove, &FMain::lblChangePath_Click},
               {lblEMail, &FMain::lblEMail_MouseMove, &FMain::lblEMail_Click},
               {lblReport, &FMain::Form_MouseMove, &FMain::lblReport_Click},
               {lblKeptCopy, &FMain::Form_MouseMove, &FMain::lblKeptCopy_Click}};
  for (const auto& link : links) {
    link.label.setMouseTracking(true);
    const auto unlessGoing = [this](void (FMain::*handler)()) {
      return [this, handler] {
        if (!destroying_) {
          (this->*handler)();
        }
      };
    };
    connect(&link.label, &LinkLabel::hovered, this, unlessGoing(link.hovered));
    connect(&link.label, &LinkLabel::clicked, this, unlessGoing(link.clicked));
    connect(&link.label, &LinkLabel::left, this, [this] {
      if (!destroying_) {
        UnderlineLabels(nullptr);
      }
    });
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
  if (destroying_) {
    return false;
  }
  if (event->type() == QEvent::MouseMove) {
    if (watched == &cmdCancel) {
      cmdCancel_MouseMove();
    } else if (watched == List1.viewport()) {
      List1_MouseMove();
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

void FMain::SetBorder(Shape& shape, bool red) {
  shape.SetBorderColor(red ? QColor(255, 0, 0) : palette().color(QPalette::WindowText));
  Shape* shapes[] = {&Shape1, &Shape2, &Shape3, &Shape4, &Shape5};
  for (int step = 0; step < 5; ++step) {
    if (shapes[step] == &shape) {
      NameStep(step, red);
    }
  }
}

}  // namespace wizard
