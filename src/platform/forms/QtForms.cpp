#include "platform/forms/QtForms.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace forms {
namespace {

QMessageBox::Icon IconOf(int buttons) {
  switch (buttons & 0x70) {
    case 16:
      return QMessageBox::Critical;
    case 32:
      return QMessageBox::Question;
    case 48:
      return QMessageBox::Warning;
    case 64:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

int QtForms::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
  // The program composes its texts with CR LF line breaks; Qt breaks lines at LF alone.
  QString text = QString::fromStdString(prompt);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  const bool yesNo = (buttons & 0x7) == vbYesNo;
  QMessageBox box(IconOf(buttons), QString::fromStdString(title), text,
                  yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                  QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  if (yesNo) {
    const bool noFirst = DefaultAnswer(buttons) == vbNo;
    box.setDefaultButton(noFirst ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
  }
  const int pressed = box.exec();
  if (yesNo) {
    return pressed == QMessageBox::Yes ? vbYes : vbNo;
  }
  return vbOK;
}

void QtForms::SetScreenMousePointer(MousePointer pointer) {
  if (pointer == pointer_) {
    return;
  }
  if (pointer == MousePointer::Hourglass) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
  pointer_ = pointer;
}

MousePointer QtForms::ScreenMousePointer() const { return pointer_; }

void QtForms::DoEvents() {
  const auto now = std::chrono::steady_clock::now();
  if (now - lastTurn_ < kTurnInterval) {
    return;
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  lastTurn_ = std::chrono::steady_clock::now();
}

}  // namespace forms
