#include "platform/forms/Forms.h"

#include "platform/forms/QtForms.h"

namespace forms {
namespace {

Forms*& Replacement() {
  static Forms* replacement = nullptr;
  return replacement;
}

}  // namespace

Forms& Current() {
  if (Replacement() != nullptr) {
    return *Replacement();
  }
  static QtForms qtForms;
  return qtForms;
}

ScopedForms::ScopedForms(Forms& replacement) : previous_(Replacement()) {
  Replacement() = &replacement;
}

ScopedForms::~ScopedForms() { Replacement() = previous_; }

}  // namespace forms
