#pragma once

#include <QString>
#include <QTranslator>
#include <memory>
#include <string>
#include <vector>

namespace translation {

// The translators of this process for as long as the object lives: ours for the first of the
// given languages that we have, and, when asked, Qt's own for its dialogs and buttons. Installed
// in the application when there is one; a program without one reaches them through Lookup. A
// language we have no translation for is passed over; English, or none we have, leaves the source
// texts.
class Translations {
 public:
  enum class Scope { kOurs, kOursAndQt };

  explicit Translations(const std::vector<std::string>& languages, Scope scope = Scope::kOurs);
  ~Translations();
  Translations(const Translations&) = delete;
  Translations& operator=(const Translations&) = delete;

  // Installs them in the application made after this object (Qt's dialogs ask it).
  void Install();

  // The language whose translation was loaded ("zh_CN"), or empty for the source texts.
  const std::string& Language() const { return language_; }

  // The translation of `source` by the translators alive now, or the source itself.
  static QString Lookup(const char* context, const char* source);

 private:
  std::vector<std::unique_ptr<QTranslator>> translators_;
  std::string language_;
  bool installed_ = false;
};

}  // namespace translation
