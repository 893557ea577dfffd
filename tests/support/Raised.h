#pragma once

#include "errors/ErrorRecord.h"

namespace testing_support {

// The error record that `call` raised; number 0 when it raised none.
template <class Call>
errors::ErrorRecord RaisedBy(Call&& call) {
  try {
    call();
  } catch (const errors::ErrorRecord& error) {
    return error;
  }
  return errors::ErrorRecord(0, "", "nothing raised");
}

}  // namespace testing_support
