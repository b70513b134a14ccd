// The collectors' hand-over to the loader, and the start of a child program.
//
// A collector appends its records to collecting files; at the hand-over each
// collecting file takes the name the loader reads. A file still under that
// name was not loaded yet: an empty one is deleted, one with data stays for
// the loader, and the collector's records wait in its collecting files for
// a later hand-over. zmostati hands over one file, zmosnap four.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zmo {

// Result of a hand-over that could not clear a name or rename a file.
constexpr int kHandOverFailed = 29;
// Result of a hand-over that found a file with data under a hand-over name:
// nothing was renamed.
constexpr int kHandOverPending = 30;

struct HandOverFile {
  std::string collecting;  // the file the collector wrote
  std::string hand_over;   // the name the loader reads
};

// The points at which the hand-over tells its program what it does, so that
// each program writes its own trace lines.
enum class HandOverStep {
  kEmptyLeftover,     // hand_over exists with 0 bytes and is deleted now
  kDeleteFailed,      // ... and could not be deleted
  kLeftoverWithData,  // hand_over exists with data: it waits for the loader
  kRenameFailed,      // renaming from to to failed
};
using HandOverNote = void (*)(HandOverStep step, const HandOverFile& file, const char* from,
                              const char* to);

// Hands files[0..count) over: first deletes the empty files under the
// hand-over names, then renames every collecting file. When a hand-over
// name holds data, nothing is renamed (kHandOverPending after
// note(kLeftoverWithData, ...)). When a rename fails, the files renamed
// before it are renamed back, so the files of one collection are handed
// over together or stay collecting files together. Returns 0,
// kHandOverPending, or kHandOverFailed after note(kDeleteFailed or
// kRenameFailed, ...).
int handOverFiles(const HandOverFile* files, size_t count, HandOverNote note);

// Starts path with the argument elements argv (argv[0] the program; each
// later element carries its own leading blank, the command line is the
// elements joined) and waits for it to end. Traces "spawn(<path>) returned
// <rc>." and, when it could not be started, "errno is <n> (<text>).".
// Returns 0 when the program ran, whatever its exit code, which goes to
// *exit_code when given; 1 when it could not be started. The start is the
// Env's Spawn (env.h).
int execCommand(const std::string& path, const std::vector<std::string>& argv,
                int* exit_code = nullptr);

}  // namespace zmo
