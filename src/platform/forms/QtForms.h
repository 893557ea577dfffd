#pragma once

#include <chrono>

#include "platform/forms/Forms.h"

namespace forms {

// The forms runtime on Qt Widgets. Needs a QApplication.
class QtForms final : public Forms {
 public:
  // DoEvents gives the window a turn only when this long has passed since its last turn. Long
  // runs pump after every item; a turn each time would let the item list redo its layout for
  // every item, which makes a run quadratic in the list's length.
  static constexpr std::chrono::milliseconds kTurnInterval{25};

  int MsgBox(const std::string& prompt, int buttons, const std::string& title) override;
  void SetScreenMousePointer(MousePointer pointer) override;
  MousePointer ScreenMousePointer() const override;
  void DoEvents() override;

 private:
  MousePointer pointer_ = MousePointer::Default;
  std::chrono::steady_clock::time_point lastTurn_{};
};

}  // namespace forms
