#pragma once

#include "platform/windowing/Windowing.h"

class QWidget;

namespace windowing {

// The window-manager calls over Qt's top-level widgets. A widget's handle is its address; only
// top-level widgets that exist count as windows.
class QtWindowing final : public Windowing {
 public:
  static constexpr HWND kDesktopWindow = 0x10010;

  static HWND HandleOf(const QWidget& window);
  // The top-level widget a handle names, or null.
  static QWidget* WidgetOf(HWND window);

  BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) override;
  BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement) override;
  HWND GetDesktopWindow() override { return kDesktopWindow; }
  BOOL IsWindow(HWND window) override;
};

}  // namespace windowing
