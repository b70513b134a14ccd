// The registry values of a run, read in the order the run needs them, and
// the check of those that go into generated files. Each returns 0, or
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

// Checks every value that goes into the kind's lines (BinDir, StatiOutPut,
// INST, User, DSN, the password) by the rule of zmo::lineValueFault, before
// any file is written. A refused value ends the run: "ERROR - ERROR: The
// value <name> holds <what>, which would ..." and the halting line.
int loaderCheckLineValues();

}  // namespace zmo::loader
