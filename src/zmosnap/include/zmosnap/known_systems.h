// The SAP systems whose database host was sampled in the current cycle, so
// that two application servers of one system sample it once. Systems are
// told apart by the first 3 characters of their SID. The cycle empties the
// list at its start and at its end.
#pragma once

namespace zmo::snap {

// *unknown = 1 when sid is not in the list, 0 when it is. 0, or 1 without a
// sid.
int isUnknownSystem(const char* sid, int* unknown);
// Appends sid to the list. 0, or 1 without a sid.
int addSystem(const char* sid);
// Empties the list.
void removeAllSystem();

}  // namespace zmo::snap
