// The registry values of a run, read in the order the run needs them, each
// checked where it goes into generated files. Each returns 0, or
// kLoaderExitError after its trace lines.
#pragma once

#include <string>

namespace zmo::loader {

// BinDir, without its trailing separator, and with it ArchiveDir.
int loaderReadBinDir();
// TrendKeepDays and DetailKeepDays.
int loaderReadKeepDays();
// DB, when -v did not name the kind.
int loaderReadVendor();
// System_SLA, User, Access and the password it gives, DSN, ArchiveKeepDays.
int loaderReadLogon();
// INST (Corva), Oracle (Oracle) and StatiOutPut (STATI).
int loaderReadKindValues();

// Refuses a text that would break the line or the quotes it goes into: a
// control character, a double quote, or one of the extra characters.
int checkLineText(const char* what, const std::string& text, const char* extra);

}  // namespace zmo::loader
