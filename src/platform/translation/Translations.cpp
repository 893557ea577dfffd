#include "platform/translation/Translations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <algorithm>

namespace translation {
namespace {

// The translators alive in this process, newest first, as QCoreApplication keeps its own.
std::vector<QTranslator*>& Alive() {
  static std::vector<QTranslator*> alive;
  return alive;
}

QString ProgramFolder() {
  // /proc/self/exe names the program even before (or without) an application object.
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
}

// The folders searched for our compiled translations, in order: the installed one beside the
// program (../share/scourwell/translations), then the build tree's.
std::vector<QString> TranslationFolders() {
  return {ProgramFolder() + QStringLiteral("/../share/scourwell/translations"),
          QStringLiteral(SCOURWELL_BUILD_TRANSLATIONS)};
}

}  // namespace

Translations::Translations(const std::vector<std::string>& languages, Scope scope) {
  for (const std::string& language : languages) {
    if (language == "en" || language.starts_with("en_")) {
      break;  // the source texts are English: a user who puts English first gets them
    }
    auto ours = std::make_unique<QTranslator>();
    const QString name = QStringLiteral("scourwell_") + QString::fromStdString(language);
    const auto folders = TranslationFolders();
    const bool found = std::any_of(folders.begin(), folders.end(),
                                   [&](const QString& folder) { return ours->load(name, folder); });
    if (!found) {
      continue;
    }
    language_ = language;
    translators_.push_back(std::move(ours));
    if (scope == Scope::kOursAndQt) {
      auto qt = std::make_unique<QTranslator>();
      if (qt->load(QStringLiteral("qtbase_") + QString::fromStdString(language),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        translators_.push_back(std::move(qt));
      }
    }
    break;
  }
  for (const auto& translator : translators_) {
    Alive().insert(Alive().begin(), translator.get());
  }
  Install();
}

void Translations::Install() {
  if (QCoreApplication::instance() == nullptr || installed_) {
    return;
  }
  installed_ = true;
  // Installed in reverse, so that ours, installed last, is asked first.
  for (auto translator = translators_.rbegin(); translator != translators_.rend(); ++translator) {
    QCoreApplication::installTranslator(translator->get());
  }
}

Translations::~Translations() {
  for (const auto& translator : translators_) {
    std::erase(Alive(), translator.get());
    if (installed_ && QCoreApplication::instance() != nullptr) {
      QCoreApplication::removeTranslator(translator.get());
    }
  }
}

QString Translations::Lookup(const char* context, const char* source) {
  for (QTranslator* translator : Alive()) {
    QString text = translator->translate(context, source);
    if (!text.isNull()) {
      return text;
    }
  }
  return QString::fromUtf8(source);
}

}  // namespace translation
