#pragma once

#include <cstdint>

#include "platform/Seam.h"

namespace windowing {

// The window-manager calls of the Windows API the program was written against: window
// placement, the desktop window and the window test. Positions are pixels in screen
// coordinates. Tests put a fake in place of the real calls with ScopedWindowing.
using HWND = std::uintptr_t;
using BOOL = int;
using UINT = std::uint32_t;

struct POINT {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

struct RECT {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

// The placement record: its length must be 44 (its size in bytes) when it is passed.
struct WINDOWPLACEMENT {
  UINT length = 0;
  UINT flags = 0;
  UINT showCmd = 0;
  POINT ptMinPosition;
  POINT ptMaxPosition;
  RECT rcNormalPosition;
};
static_assert(sizeof(WINDOWPLACEMENT) == 44);

inline constexpr UINT SW_HIDE = 0;
inline constexpr UINT SW_SHOWNORMAL = 1;
inline constexpr UINT SW_SHOWMINIMIZED = 2;
inline constexpr UINT SW_SHOWMAXIMIZED = 3;
inline constexpr UINT SW_SHOWNOACTIVATE = 4;
inline constexpr UINT SW_SHOW = 5;
inline constexpr UINT SW_MINIMIZE = 6;
inline constexpr UINT SW_SHOWMINNOACTIVE = 7;
inline constexpr UINT SW_SHOWNA = 8;
inline constexpr UINT SW_RESTORE = 9;
inline constexpr UINT SW_SHOWDEFAULT = 10;

class Windowing {
 public:
  virtual ~Windowing() = default;
  virtual BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) = 0;
  virtual BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement) = 0;
  // The window that stands for the whole primary screen.
  virtual HWND GetDesktopWindow() = 0;
  virtual BOOL IsWindow(HWND window) = 0;
};

// The calls in use: the Qt ones unless a ScopedWindowing has replaced them.
Windowing& Current();

using ScopedWindowing = platform::Seam<Windowing>::Scope;

inline BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) {
  return Current().GetWindowPlacement(window, placement);
}
inline BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement) {
  return Current().SetWindowPlacement(window, placement);
}
inline HWND GetDesktopWindow() { return Current().GetDesktopWindow(); }
inline BOOL IsWindow(HWND window) { return Current().IsWindow(window); }

}  // namespace windowing
