#pragma once

#include "engines/common/EngineError.h"
#include "errors/ErrorRecord.h"
#include "errors/Procedure.h"

namespace sourcesafe {

// The error source of what the engines raise.
inline constexpr const char* kEngineErrorSource = "SourceSafe";

// Runs an engine call, raising whatever fails as an error record.
template <class Call>
auto Raising(Call&& call) {
  try {
    return call();
  } catch (const sourcesafe::EngineError& error) {
    throw errors::ErrorRecord(error.Number(), kEngineErrorSource, error.what());
  } catch (const errors::ErrorRecord&) {
    throw;
  } catch (...) {
    const errors::CapturedError error = errors::CurrentError();
    throw errors::ErrorRecord(error.number, kEngineErrorSource, error.description);
  }
}

}  // namespace sourcesafe
