#include "platform/forms/Forms.h"

#include "platform/forms/QtForms.h"

namespace forms {

Forms& Current() { return platform::Seam<Forms>::Current<QtForms>(); }

}  // namespace forms
