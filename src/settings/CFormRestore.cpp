#include "settings/CFormRestore.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "errors/ClassFailure.h"
#include "platform/text/AsciiCase.h"
#include "settings/CAppSettings.h"
#include "settings/FormObject.h"

namespace settings {
namespace {

using namespace windowing;

using Errors = errors::ClassErrors<CFormRestore>;

// A number brought into 32 bits, halves to even; outside the range it is a failure.
std::int32_t ToInt32(double number) {
  const double rounded = RoundHalfEven(number);
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
        rounded <= std::numeric_limits<std::int32_t>::max())) {
    throw std::out_of_range("Overflow");
  }
  return static_cast<std::int32_t>(rounded);
}

std::int32_t Checked(std::int64_t number) {
  if (number < std::numeric_limits<std::int32_t>::min() ||
      number > std::numeric_limits<std::int32_t>::max()) {
    throw std::out_of_range("Overflow");
  }
  return static_cast<std::int32_t>(number);
}

// A stored placement value: text, or a number written by another tool, read as its text is.
std::int32_t ReadNumber(CAppSettings& store, const std::string& section, const std::string& name,
                        const char* defaultText) {
  const SettingValue value = store.GetSetting(section, name, SettingValue::Text(defaultText));
  const std::string text =
      value.IsText() ? value.AsText() : std::to_string(static_cast<std::int64_t>(value.AsNumber()));
  return ToInt32(Val(text));
}

}  // namespace

double Val(const std::string& text) {
  std::size_t i = text.find_first_not_of(" \t\r\n");
  if (i == std::string::npos) {
    return 0;
  }
  const std::size_t start = i;
  if (text[i] == '+' || text[i] == '-') {
    ++i;
  }
  const auto digits = [&] {
    const std::size_t from = i;
    while (i < text.size() && text::IsAsciiDigit(text[i])) {
      ++i;
    }
    return i - from;
  };
  std::size_t count = digits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    count += digits();
  }
  if (count == 0) {
    return 0;
  }
  std::size_t end = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      ++i;
    }
    if (digits() > 0) {
      end = i;
    }
  }
  // from_chars reads the point as a point whatever the locale, and takes no leading '+'.
  const std::size_t from = text[start] == '+' ? start + 1 : start;
  double value = 0;
  if (std::from_chars(text.data() + from, text.data() + end, value).ec ==
      std::errc::result_out_of_range) {
    // As strtod gives them: a value too large is infinite, one too small is 0.
    const std::size_t exponent = text.find_first_of("eE", from);
    if (exponent < end && text[exponent + 1] == '-') {
      return 0;
    }
    return (text[from] == '-' ? -1 : 1) * std::numeric_limits<double>::infinity();
  }
  return value;
}

void CFormRestore::Init(std::shared_ptr<CAppSettings> appSettings, bool centeredByDefault) {
  SetAppSettings(std::move(appSettings));
  centeredByDefault_ = centeredByDefault;
}

void CFormRestore::SetAppSettings(std::shared_ptr<CAppSettings> value) {
  if (!value) {
    Errors::Raise(kInvalidAppSettings, "Invalid AppSettings object");
  }
  appSettings_ = std::move(value);
}

void CFormRestore::SetKeyName(const std::string& value) {
  if (value.empty()) {
    Errors::Raise(kInvalidKeyName, "Invalid KeyName value");
  }
  keyName_ = value;
}

void CFormRestore::GetPosition(FormObject& form) {
  if (!appSettings_) {
    Errors::Raise(kNotInitialized, "Object not properly initialized");
  }
  const std::shared_ptr<CAppSettings> store = appSettings_;
  Errors::Guarded([&] {
    const std::string section = keyName_ + "\\" + form.Name();
    std::int32_t show = ReadNumber(*store, section, "WindowState", "-1");
    if (show >= 0) {
      if (!form.Visible()) {
        // The hidden window is only moved; the stored state is the one it will be shown in.
        switch (show) {
          case 2:
          case 6:
          case 7:
            form.SetWindowState(neverStartMinimized_ ? FormObject::kNormal
                                                     : FormObject::kMinimized);
            break;
          case 3:
            form.SetWindowState(FormObject::kMaximized);
            break;
          case 8:
          case 10:
            break;
          default:
            form.SetWindowState(FormObject::kNormal);
            break;
        }
        show = SW_HIDE;
      } else if ((show == 2 || show == 6 || show == 7) && neverStartMinimized_) {
        show = SW_SHOWNORMAL;
      }
      WINDOWPLACEMENT placement;
      placement.ptMinPosition.x = ReadNumber(*store, section, "MinPosX", "");
      placement.ptMinPosition.y = ReadNumber(*store, section, "MinPosY", "");
      placement.ptMaxPosition.x = ReadNumber(*store, section, "MaxPosX", "");
      placement.ptMaxPosition.y = ReadNumber(*store, section, "MaxPosY", "");
      RECT& normal = placement.rcNormalPosition;
      normal.left = ReadNumber(*store, section, "NormalPosLeft", "");
      normal.top = ReadNumber(*store, section, "NormalPosTop", "");
      if (form.Sizable()) {
        normal.right = ReadNumber(*store, section, "NormalPosRight", "");
        normal.bottom = ReadNumber(*store, section, "NormalPosBottom", "");
      } else {
        // A fixed-size window keeps its size and only moves.
        normal.right = ToInt32(normal.left + form.OuterWidth());
        normal.bottom = ToInt32(normal.top + form.OuterHeight());
      }
      placement.length = sizeof(WINDOWPLACEMENT);
      placement.flags = 0;
      placement.showCmd = static_cast<UINT>(show);
      SetWindowPlacement(form.hWnd(), &placement);
    } else if (centeredByDefault_) {
      WINDOWPLACEMENT placement;
      placement.length = sizeof(WINDOWPLACEMENT);
      if (GetWindowPlacement(form.hWnd(), &placement) != 0) {
        CenterPlacement(placement);
        placement.showCmd = form.Visible() ? SW_SHOW : SW_HIDE;
        SetWindowPlacement(form.hWnd(), &placement);
      }
    }
  });
}

void CFormRestore::CenterPlacement(WINDOWPLACEMENT& placement) {
  if (placement.showCmd != SW_SHOWNORMAL) {
    return;
  }
  WINDOWPLACEMENT desktop;
  desktop.length = sizeof(WINDOWPLACEMENT);
  if (GetWindowPlacement(GetDesktopWindow(), &desktop) == 0) {
    return;
  }
  RECT& normal = placement.rcNormalPosition;
  const RECT& screen = desktop.rcNormalPosition;
  const std::int32_t w = Checked(std::int64_t{normal.right} - normal.left);
  const std::int32_t h = Checked(std::int64_t{normal.bottom} - normal.top);
  const std::int32_t screenWidth = Checked(std::int64_t{screen.right} - screen.left);
  const std::int32_t screenHeight = Checked(std::int64_t{screen.bottom} - screen.top);
  normal.left = ToInt32((static_cast<double>(screenWidth) - w) / 2);
  normal.top = ToInt32((static_cast<double>(screenHeight) - h) / 2);
  normal.right = Checked(std::int64_t{normal.left} + w);
  normal.bottom = Checked(std::int64_t{normal.top} + h);
}

void CFormRestore::SavePosition(FormObject& form) {
  if (!appSettings_) {
    Errors::Raise(kNotInitialized, "Object not properly initialized");
  }
  const std::shared_ptr<CAppSettings> store = appSettings_;
  Errors::Guarded([&] {
    const std::string section = keyName_ + "\\" + form.Name();
    WINDOWPLACEMENT placement;
    placement.length = sizeof(WINDOWPLACEMENT);
    if (GetWindowPlacement(form.hWnd(), &placement) == 0) {
      return;
    }
    const auto save = [&](const char* name, std::int64_t value) {
      store->SaveSetting(section, name, SettingValue::Text(std::to_string(value)));
    };
    save("WindowState", static_cast<std::int32_t>(placement.showCmd));
    save("MinPosX", placement.ptMinPosition.x);
    save("MinPosY", placement.ptMinPosition.y);
    save("MaxPosX", placement.ptMaxPosition.x);
    save("MaxPosY", placement.ptMaxPosition.y);
    save("NormalPosLeft", placement.rcNormalPosition.left);
    save("NormalPosTop", placement.rcNormalPosition.top);
    save("NormalPosRight", placement.rcNormalPosition.right);
    save("NormalPosBottom", placement.rcNormalPosition.bottom);
  });
}

}  // namespace settings
