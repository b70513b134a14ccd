// A collection run's mark, beside its collecting files, so that a run cut
// short by a kill leaves nothing a restart would append to or lose.
//
// A run writes the mark before it appends (kCollecting, with the collecting
// files' lengths), rewrites it before the hand-over renames (kHandingOver)
// or when its records stay in the collecting files (kKept), and removes it
// once the run's records are settled. A restart reads a mark left behind:
//   kCollecting   the run did not end: each collecting file is cut back to
//                 its length, the torn last line included;
//   kHandingOver  the run ended and its hand-over was cut short: when a
//                 file was renamed already, the collecting files still there
//                 take their hand-over names; otherwise the records stay;
//   kKept         the run ended and its records stay in the collecting files.
// The interval text is the program's own (zmostati's interval; empty for
// zmosnap), handed back so that the program can count it as collected.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/handover.h"

namespace zmo {

enum class RunMarkState { kCollecting, kHandingOver, kKept };

struct RunMark {
  RunMarkState state = RunMarkState::kCollecting;
  std::vector<std::int64_t> lengths;  // of the collecting files, in hand-over order
  std::string interval;               // one line of the program's own text
};

// Writes the mark whole or not at all (temporary file, fsync, rename).
// Returns 0, or 1 when it could not be written.
int writeRunMark(const std::string& path, const RunMark& mark);

constexpr int kRunMarkNone = 1;     // there is no mark
constexpr int kRunMarkDamaged = 2;  // *bad_line: the first line that could not be read
// Reads a mark. Returns 0, kRunMarkNone or kRunMarkDamaged.
int readRunMark(const std::string& path, RunMark* mark, int* bad_line);

// What a restart found and did.
enum class RunRecovery {
  kNone,        // no mark: the last run ended in order
  kCutBack,     // a run that did not end was undone
  kHandedOver,  // a cut-short hand-over was completed (or its records kept)
  kKept,        // an ended run's records stay in the collecting files
  kDamaged,     // the mark could not be read: the files are left as they are
  kFailed,      // a file could not be cut back or renamed: the mark stays for
                // the next start, and no run may append meanwhile
};

// Settles what the run that left the mark at mark_path did to files[0..count)
// (see above), then removes the mark. *interval gets the mark's interval
// text, *bad_line the damaged line (0 otherwise).
RunRecovery recoverRun(const std::string& mark_path, const HandOverFile* files, size_t count,
                       std::string* interval, int* bad_line);

}  // namespace zmo
