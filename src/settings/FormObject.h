#pragma once

#include <string>

#include "platform/windowing/Windowing.h"

namespace settings {

// What the placement memory needs of a window.
class FormObject {
 public:
  enum WindowState { kNormal = 0, kMinimized = 1, kMaximized = 2 };

  virtual ~FormObject() = default;
  // The name the window bears in the program ("FMain").
  virtual std::string Name() const = 0;
  virtual windowing::HWND hWnd() const = 0;
  virtual bool Visible() const = 0;
  // A sizable border; every other border counts as fixed.
  virtual bool Sizable() const = 0;
  // The window's current outer size in pixels.
  virtual double OuterWidth() const = 0;
  virtual double OuterHeight() const = 0;
  // The state in which the window will be shown.
  virtual void SetWindowState(WindowState state) = 0;
};

}  // namespace settings
