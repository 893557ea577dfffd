#include "support/RecordingForms.h"

namespace testing_support {

RecordingForms::RecordingForms() : scope_(*this) {}

int RecordingForms::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
  boxes.push_back({prompt, buttons, title});
  if (answers.empty()) {
    return forms::DefaultAnswer(buttons);
  }
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace testing_support
