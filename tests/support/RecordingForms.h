#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/Forms.h"

namespace testing_support {

// A forms runtime that records every box instead of showing it, and counts message pumps.
// A box is answered with the next of `answers`, or with its default button when none is left
// (as a user who just presses Enter). Installs itself for its own lifetime.
class RecordingForms final : public forms::Forms {
 public:
  struct Box {
    std::string prompt;
    int buttons;
    std::string title;
  };

  RecordingForms();

  int MsgBox(const std::string& prompt, int buttons, const std::string& title) override;
  void SetScreenMousePointer(forms::MousePointer pointer) override { pointer_ = pointer; }
  forms::MousePointer ScreenMousePointer() const override { return pointer_; }
  void DoEvents() override {
    ++pumps;
    if (onDoEvents) {
      onDoEvents();
    }
  }

  std::vector<Box> boxes;
  std::deque<int> answers;
  int pumps = 0;
  // Runs at every pump, as the user's actions would while the window has its turn.
  std::function<void()> onDoEvents;

 private:
  forms::MousePointer pointer_ = forms::MousePointer::Default;
  forms::ScopedForms scope_;
};

}  // namespace testing_support
