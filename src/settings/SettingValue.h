#pragma once

#include <QDateTime>
#include <cstdint>
#include <string>

namespace settings {

// A value as the settings store takes and returns it: empty, null, text, a date, a boolean, one
// of the numeric kinds, or an object (which the store cannot keep).
class SettingValue {
 public:
  enum class Kind { Empty, Null, Text, Date, Boolean, Integer, Long, Single, Double, Object };

  SettingValue() = default;  // empty
  static SettingValue Null() { return SettingValue(Kind::Null); }
  static SettingValue Object() { return SettingValue(Kind::Object); }
  static SettingValue Text(std::string text);
  static SettingValue Date(QDateTime date);
  static SettingValue Boolean(bool value);
  static SettingValue Integer(std::int16_t value);
  static SettingValue Long(std::int32_t value);
  static SettingValue Single(float value);
  static SettingValue Double(double value);

  Kind GetKind() const noexcept { return kind_; }
  bool IsText() const noexcept { return kind_ == Kind::Text; }
  const std::string& AsText() const noexcept { return text_; }
  const QDateTime& AsDate() const noexcept { return date_; }
  bool AsBoolean() const noexcept { return boolean_; }
  double AsNumber() const noexcept { return number_; }

  bool operator==(const SettingValue& other) const;

 private:
  explicit SettingValue(Kind kind) : kind_(kind) {}

  Kind kind_ = Kind::Empty;
  std::string text_;
  QDateTime date_;
  bool boolean_ = false;
  double number_ = 0;
};

// The nearest whole number, halves to the even neighbour (2.5 gives 2, 3.5 gives 4).
double RoundHalfEven(double value);

// The value as a 32-bit signed integer: a number brought to the nearest one, halves to even,
// empty as 0. Throws std::out_of_range for a number outside the range and std::invalid_argument
// for null, an object or a kind that has no number.
std::int32_t ToLong(const SettingValue& value);

}  // namespace settings
