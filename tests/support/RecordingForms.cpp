#include "support/RecordingForms.h"

namespace testing_support {

RecordingForms::RecordingForms() : scope_(*this) {}

int RecordingForms::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
  boxes.push_back({prompt, buttons, title});
  return forms::vbOK;
}

}  // namespace testing_support
