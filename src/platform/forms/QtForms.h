#pragma once

#include "platform/forms/Forms.h"

namespace forms {

// The forms runtime on Qt Widgets. Needs a QApplication.
class QtForms final : public Forms {
 public:
  int MsgBox(const std::string& prompt, int buttons, const std::string& title) override;
  void SetScreenMousePointer(MousePointer pointer) override;
  MousePointer ScreenMousePointer() const override;
  void DoEvents() override;

 private:
  MousePointer pointer_ = MousePointer::Default;
};

}  // namespace forms
