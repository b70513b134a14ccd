// The messages of a failed key operation, shared by set and delete.
#pragma once

#include "platform/registry.h"

namespace zmo::setval {

// Prints "*** ERROR: Key '<name>' not found" for ERROR_FILE_NOT_FOUND,
// "*** ERROR: Access denied to key '<name>'" for ERROR_ACCESS_DENIED, and
// otherwise other_fmt (which takes the name and the error number).
// A damaged store (ERROR_BADDB) is named first, with its file and line.
void setvalReportKeyError(LONG ret, const char* name, const char* other_fmt);
// "*** ERROR: the registry store is damaged: <file>:<line>: <what>" for
// ERROR_BADDB; nothing otherwise.
void setvalReportDamage(LONG ret);

// The texts of other failures, byte for byte as callers' scripts know them.
constexpr const char* kOpenKeyFailed = "*** ERROR: Unable to open key '%s', error = %d\n";
// The newline inside this text is where the tool always printed it.
constexpr const char* kOpenKeyFailedSplit = "*** ERROR: Unable to open key '%s'\n, error = %d\n";
constexpr const char* kDeleteKeyFailed = "*** ERROR: Unable to delete key '%s', error = %d\n";

}  // namespace zmo::setval
