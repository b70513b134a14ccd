// The loader's access to the configuration key.
#pragma once

#include <string>

namespace zmo::loader {

// Reads value name into *out, as the row of the loader's table (or of the
// metric switches) says: a missing value reads as "0" for System_SLA, "null"
// for LoadDebug and "True" for ProcessQRBData. Returns 0, or
// kLoaderExitError after its trace lines when the key cannot be opened or
// any other value is missing. A name that is neither in the table nor a
// metric switch is an error: it is not read, and traced as a required value
// that is missing.
int loaderQueryReg(const char* name, std::string* out);

}  // namespace zmo::loader
