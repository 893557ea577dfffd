#pragma once

#include <string>

#include "platform/Seam.h"

namespace forms {

// Message box styles and results, with the values of the forms runtime the program was written
// for, so that callers read as they always did.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbYesNo = 4;
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;
inline constexpr int vbDefaultButton2 = 256;
inline constexpr int vbOK = 1;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

// The answer a box gives when the user just presses Enter: its default button.
constexpr int DefaultAnswer(int buttons) {
  if ((buttons & 0x7) == vbYesNo) {
    return (buttons & vbDefaultButton2) != 0 ? vbNo : vbYes;
  }
  return vbOK;
}

enum class MousePointer { Default = 0, Hourglass = 11 };

// What the window needs of the forms runtime beyond its own widgets: the modal message box, the
// screen-wide mouse pointer and the pumping of pending messages. Tests put a recording runtime
// in place of the real one with ScopedForms.
class Forms {
 public:
  virtual ~Forms() = default;

  // Shows a modal message box and returns the button pressed (Esc on a Yes/No box is No).
  virtual int MsgBox(const std::string& prompt, int buttons, const std::string& title) = 0;
  virtual void SetScreenMousePointer(MousePointer pointer) = 0;
  virtual MousePointer ScreenMousePointer() const = 0;
  // Processes the window messages that are waiting, then returns. May skip the turn when the
  // window had one a moment ago.
  virtual void DoEvents() = 0;
};

// The runtime in use: the Qt one unless a ScopedForms has replaced it.
Forms& Current();

// Puts another runtime in place for its own lifetime.
using ScopedForms = platform::Seam<Forms>::Scope;

}  // namespace forms
