#include "platform/windowing/QtWindowing.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

namespace windowing {
namespace {

RECT RectOf(const QRect& rect) {
  return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

// The room the window manager's frame takes around the widget (none before it is shown).
QMargins FrameOf(const QWidget& widget) {
  const QRect frame = widget.frameGeometry();
  const QRect inner = widget.geometry();
  return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
          frame.bottom() - inner.bottom()};
}

}  // namespace

Windowing& Current() { return platform::Seam<Windowing>::Current<QtWindowing>(); }

HWND QtWindowing::HandleOf(const QWidget& window) { return reinterpret_cast<HWND>(&window); }

QWidget* QtWindowing::WidgetOf(HWND window) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (HandleOf(*widget) == window) {
      return widget;
    }
  }
  return nullptr;
}

BOOL QtWindowing::IsWindow(HWND window) {
  return window == kDesktopWindow || WidgetOf(window) != nullptr;
}

BOOL QtWindowing::GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) {
  if (placement == nullptr || placement->length != sizeof(WINDOWPLACEMENT)) {
    return 0;
  }
  placement->flags = 0;
  placement->ptMinPosition = {-1, -1};
  placement->ptMaxPosition = {-1, -1};
  if (window == kDesktopWindow) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
      return 0;
    }
    placement->showCmd = SW_SHOWNORMAL;
    placement->rcNormalPosition = RectOf(screen->geometry());
    return 1;
  }
  const QWidget* widget = WidgetOf(window);
  if (widget == nullptr) {
    return 0;
  }
  placement->showCmd = widget->isMinimized()   ? SW_SHOWMINIMIZED
                       : widget->isMaximized() ? SW_SHOWMAXIMIZED
                                               : SW_SHOWNORMAL;
  const QRect normal = widget->isMinimized() || widget->isMaximized() ? widget->normalGeometry()
                                                                      : widget->geometry();
  placement->rcNormalPosition = RectOf(normal.marginsAdded(FrameOf(*widget)));
  return 1;
}

BOOL QtWindowing::SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr || placement == nullptr || placement->length != sizeof(WINDOWPLACEMENT)) {
    return 0;
  }
  const RECT& outer = placement->rcNormalPosition;
  const QRect frame(outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top);
  const QRect inner = frame.marginsRemoved(FrameOf(*widget));
  widget->move(frame.topLeft());
  widget->resize(inner.size());  // a fixed-size window keeps its size
  switch (placement->showCmd) {
    case SW_HIDE:
      widget->hide();
      break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      widget->showMinimized();
      break;
    case SW_SHOWMAXIMIZED:
      widget->showMaximized();
      break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
      widget->showNormal();
      break;
    default:
      widget->show();
      break;
  }
  return 1;
}

}  // namespace windowing
