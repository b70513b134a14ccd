// The question a page asks before it adds a transaction code that is not in
// the standard lists (exclusion list and application groups alike).
#pragma once

#include <string>

namespace zmo::config {

// Question 1487 followed by a blank and code, with Yes and No. True on Yes.
bool AskAddNonStandardCode(const std::string& code);

// True for a standard code (IsStandardTCode), else the answer to the
// question above.
bool AcceptCode(const std::string& code);

}  // namespace zmo::config
