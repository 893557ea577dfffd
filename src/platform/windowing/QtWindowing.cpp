#include "platform/windowing/QtWindowing.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <vector>

#include "platform/windowing/ScreenFit.h"

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

// A placement's size is the outer size, frame included, but a window that has never been shown
// has no frame yet. Such a window is sized as if the frame were nothing, and corrected to the
// outer size once the window manager has given it its frame, so that a window placed before it
// is first shown opens at the size it was left at and does not grow by its frame each time.
class FrameSizer final : public QObject {
 public:
  static FrameSizer& Instance() {
    static FrameSizer sizer;
    return sizer;
  }

  void Follow(QWidget& widget, const QSize& outer) {
    Forget(&widget);
    pending_.push_back({&widget, outer});
    widget.installEventFilter(this);
  }
  void Forget(QWidget* widget) {
    std::erase_if(pending_, [&](const Pending& pending) {
      return pending.widget.isNull() || pending.widget == widget;
    });
    if (widget != nullptr) {
      widget->removeEventFilter(this);
    }
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize) {
      return false;
    }
    for (const Pending& pending : pending_) {
      if (pending.widget != watched) {
        continue;
      }
      QWidget& widget = *pending.widget;
      const QMargins frame = FrameOf(widget);
      if (!widget.isVisible() || frame.isNull()) {
        return false;  // no frame yet
      }
      const QSize outer = pending.outer;
      Forget(&widget);
      if (!widget.isMaximized() && !widget.isMinimized() && !widget.isFullScreen()) {
        widget.resize(outer.shrunkBy(frame));
      }
      return false;
    }
    return false;
  }

 private:
  struct Pending {
    QPointer<QWidget> widget;
    QSize outer;
  };
  std::vector<Pending> pending_;
};

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
  // As the system does for a placement it is given, the window is kept on the screens there
  // are now: a position kept from another monitor or scale factor is moved onto the nearest.
  QList<QRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) {
    screens.append(screen->availableGeometry());
  }
  const QRect frame = FitOntoScreens(
      QRect(outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top), screens);
  const QMargins margins = FrameOf(*widget);
  const QRect inner = frame.marginsRemoved(margins);
  widget->move(frame.topLeft());
  widget->resize(inner.size());  // a fixed-size window keeps its size
  if (margins.isNull() && !widget->isVisible()) {
    FrameSizer::Instance().Follow(*widget, frame.size());
  } else {
    FrameSizer::Instance().Forget(widget);
  }
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
