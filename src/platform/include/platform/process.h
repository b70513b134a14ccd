// Process start with the C runtime's Windows names (_spawnv, _cwait), and the
// start primitive under them that the service manager shares.
//
// _spawnv keeps the Windows meaning of a command line: the elements are
// joined with blanks into one line and split again by the Windows rules
// (platform/command_line.h) into the child's argv. The program is path itself;
// PATH is not searched. A child inherits no descriptor besides 0, 1 and 2.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr int _P_WAIT = 0;
constexpr int _P_NOWAIT = 1;
constexpr int _WAIT_CHILD = 0;

extern "C" {
// _P_WAIT: runs path and returns its exit code (128 + the signal number when
// a signal ended it). _P_NOWAIT: returns the child's process id at once; the
// caller reaps it with _cwait. Returns -1 with errno when the program cannot
// be started (ENOENT, EACCES, ENOEXEC, ...) or mode/arguments are invalid
// (EINVAL). argv ends with a null pointer.
std::intptr_t _spawnv(int mode, const char* path, const char* const* argv);
// Waits for a child started with _P_NOWAIT. Stores its exit code (as in
// _P_WAIT) in *status when status is not null. Returns the process id, or -1
// with errno (ECHILD for a process that is not a child).
std::intptr_t _cwait(int* status, std::intptr_t pid, int action);
}

namespace zmo {

// What to start and how.
struct SpawnRequest {
  std::string path;                // the program file
  std::vector<std::string> argv;   // the child's argv, taken as is
  std::vector<std::string> env;    // "NAME=value" entries set in the child's environment
  std::vector<std::string> unset;  // names removed from the child's environment
  // Detached: a new session, stdio on /dev/null, working directory /, and a
  // grandchild of the caller that is not its child (nobody has to reap it).
  bool detached = false;
  // Runs in the caller once the child's pid is known and before the child
  // runs the program; a non-zero result cancels the start (errno ECANCELED).
  std::function<int(pid_t)> before_exec;
};

// Starts a process. Returns 0 and *pid, or -1 with errno when the program
// could not be started (the child that failed is already reaped).
int SpawnProcess(const SpawnRequest& request, pid_t* pid);

// Exit code of a waited-for child from its wait status: the exit code, or
// 128 + the signal number.
int ExitCodeFromWaitStatus(int wait_status);

// Ticks of the system clock at which process pid started, from
// /proc/<pid>/stat; 0 when the process is gone or a zombie. A pid with the
// same start time is the same process, so a reused pid is told apart.
std::uint64_t ProcessStartTime(pid_t pid);

}  // namespace zmo
