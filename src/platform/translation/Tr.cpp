#include "platform/translation/Tr.h"

#include <QCoreApplication>

#include "platform/translation/Translations.h"

namespace translation {
namespace {

thread_local int sourceTextsAlive = 0;

}  // namespace

SourceTexts::SourceTexts() { ++sourceTextsAlive; }
SourceTexts::~SourceTexts() { --sourceTextsAlive; }

Text Tr(const char* context, const char* source) {
  if (sourceTextsAlive > 0) {
    return Text(QString::fromUtf8(source));
  }
  // A window's translators are installed in its application, with Qt's own; a console program
  // has no application and asks the process's translators itself.
  if (QCoreApplication::instance() != nullptr) {
    return Text(QCoreApplication::translate(context, source));
  }
  return Text(Translations::Lookup(context, source));
}

}  // namespace translation
