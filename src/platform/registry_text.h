// Internal: the text form of one root key's file (see docs/registry.md).
#pragma once

#include <string>

#include "registry_model.h"

namespace zmo::reg {

// The whole file for root: "REGEDIT4", a blank line, then one section per
// key (the root's own only when it holds values), each followed by a blank
// line. Lines end in LF.
std::string SerializeRoot(const char* root_name, const Key& root);

// Parses the file text of root root_name into *root (which must be empty).
// Returns 0, or ERROR_BADDB with *error as "<file>:<line>: <what>".
LONG ParseRoot(const std::string& file, const std::string& text, const char* root_name, Key* root,
               std::string* error);

}  // namespace zmo::reg
