// Reader of the configuration values a program cannot run without.
#pragma once

#include <string>

#include "common/registry_text.h"  // ReadRegistryText
#include "platform/registry.h"

namespace zmo {

// Exit code of a program whose required registry key or value is missing.
constexpr int kExitMissingRegistryValue = 99;

// The text of value name under the configuration key (HKEY_LOCAL_MACHINE).
// When the key or the value is missing it traces two lines and ends the
// process with kExitMissingRegistryValue through exitProgram; a missing
// ProcessQRBData reads as "True" instead. Returns "" only when a test's exit
// seam returned. The value's type is not tested.
std::string getRequiredRegValue(const char* name);

}  // namespace zmo
