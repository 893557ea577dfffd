#pragma once

#include <QString>
#include <string>
#include <type_traits>
#include <utility>

namespace translation {

// A text for people after translation. The source text is the English one, and stays the
// text where no translation is loaded. Placeholders %1, %2, ... are filled in one pass, so a
// value that itself holds "%2" (a file name) is never filled again.
class Text {
 public:
  explicit Text(QString text) : text_(std::move(text)) {}

  operator QString() const { return text_; }  // NOLINT: widgets take it as it is
  QString Q() const { return text_; }
  std::string Str() const { return text_.toStdString(); }

  template <class... Args>
  QString FillQ(const Args&... args) const {
    return text_.arg(ToQ(args)...);
  }
  template <class... Args>
  std::string Fill(const Args&... args) const {
    return FillQ(args...).toStdString();
  }

 private:
  static QString ToQ(const QString& value) { return value; }
  static QString ToQ(const std::string& value) { return QString::fromStdString(value); }
  static QString ToQ(const char* value) { return QString::fromUtf8(value); }
  template <class Number>
  requires std::is_integral_v<Number>
  static QString ToQ(Number value) { return QString::number(value); }

  QString text_;
};

// The translation of `source` in `context`. Our lupdate call knows this function as an
// alternative spelling of QCoreApplication::translate, so both arguments must be literals where
// it is called; a table of texts marks its entries with QT_TRANSLATE_NOOP instead.
Text Tr(const char* context, const char* source);

// The text for `count` of the two forms of a counted sentence: both are texts of their own, so
// that a language with one form (or more than two) says it its own way; %1 is usually the count.
inline Text Plural(long long count, Text one, Text many) {
  return count == 1 ? std::move(one) : std::move(many);
}

// While one lives, Tr gives the source texts on this thread: for a text that goes into what
// scripts read (a summary in JSON), which must not change with the user's language.
class SourceTexts {
 public:
  SourceTexts();
  ~SourceTexts();
  SourceTexts(const SourceTexts&) = delete;
  SourceTexts& operator=(const SourceTexts&) = delete;
};

}  // namespace translation
