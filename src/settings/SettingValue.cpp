#include "settings/SettingValue.h"

#include <cfenv>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace settings {

SettingValue SettingValue::Text(std::string text) {
  SettingValue value(Kind::Text);
  value.text_ = std::move(text);
  return value;
}

SettingValue SettingValue::Date(QDateTime date) {
  SettingValue value(Kind::Date);
  value.date_ = std::move(date);
  return value;
}

SettingValue SettingValue::Boolean(bool boolean) {
  SettingValue value(Kind::Boolean);
  value.boolean_ = boolean;
  return value;
}

SettingValue SettingValue::Integer(std::int16_t number) {
  SettingValue value(Kind::Integer);
  value.number_ = number;
  return value;
}

SettingValue SettingValue::Long(std::int32_t number) {
  SettingValue value(Kind::Long);
  value.number_ = number;
  return value;
}

SettingValue SettingValue::Single(float number) {
  SettingValue value(Kind::Single);
  value.number_ = number;
  return value;
}

SettingValue SettingValue::Double(double number) {
  SettingValue value(Kind::Double);
  value.number_ = number;
  return value;
}

bool SettingValue::operator==(const SettingValue& other) const {
  return kind_ == other.kind_ && text_ == other.text_ && date_ == other.date_ &&
         boolean_ == other.boolean_ &&
         (number_ == other.number_ || (std::isnan(number_) && std::isnan(other.number_)));
}

double RoundHalfEven(double value) {
  const double floor = std::floor(value);
  const double fraction = value - floor;
  if (fraction > 0.5) {
    return floor + 1;
  }
  if (fraction < 0.5) {
    return floor;
  }
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

std::int32_t ToLong(const SettingValue& value) {
  switch (value.GetKind()) {
    case SettingValue::Kind::Empty:
      return 0;
    case SettingValue::Kind::Integer:
    case SettingValue::Kind::Long:
    case SettingValue::Kind::Single:
    case SettingValue::Kind::Double: {
      const double number = value.AsNumber();
      if (std::isnan(number)) {
        throw std::invalid_argument("not a number");
      }
      const double rounded = RoundHalfEven(number);
      if (rounded < std::numeric_limits<std::int32_t>::min() ||
          rounded > std::numeric_limits<std::int32_t>::max()) {
        throw std::out_of_range("Overflow");
      }
      return static_cast<std::int32_t>(rounded);
    }
    case SettingValue::Kind::Boolean:
      return value.AsBoolean() ? -1 : 0;
    default:
      throw std::invalid_argument("the value has no number");
  }
}

}  // namespace settings
