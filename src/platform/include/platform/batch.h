// The batch interpreter: runs a generated .bat file line by line, as the
// Windows command processor would run it for the system.
//
// Verbs: cd (chdir), title, echo ("echo text", "echo.", "echo on|off", a
// leading "@" that keeps a line from being echoed), move, del (erase) with
// the wildcards * and ? in the file name, type, exit ("exit", "exit N",
// "exit /b N") and rem. Verbs are matched without regard to case. Every
// other line starts a program: the line is split by the Windows command-line
// rules (platform/command_line.h); a name holding a "/" is a path, any other
// name is looked up in the PATH directories; a program that is a .bat file
// runs under the interpreter. `>` and `>>` anywhere on a line outside double
// quotes send the line's output to a file (created anew or appended).
//
// A failing line does not stop the batch: its result becomes the error
// level and the next line runs; only `exit` ends the batch early. Each
// failure is reported on standard error; with $ZMO_BATCH_TRACE naming a
// file, every line, the program it started and its result are appended
// there too, so a run can be followed line by line.
#pragma once

#include <string>
#include <vector>

namespace zmo {

// The interpreter program, installed beside the system's other programs.
constexpr const char* kBatchInterpreterName = "zmobatch";
// Names the file that receives the interpreter's trace (created mode 0600,
// since batch lines may hold a clear password).
constexpr const char* kBatchTraceEnv = "ZMO_BATCH_TRACE";

// Error levels of a line that starts no program.
constexpr int kBatchNotFound = 127;     // no such program
constexpr int kBatchCannotStart = 126;  // found, but it could not be started

// Runs the batch file. Sets *exit_code to the batch's exit code: the number
// of its `exit` line, else the error level of its last line. The current
// directory and this process's window title are as before when it returns.
// Returns 0 when the batch ran, -1 with errno when the file cannot be read.
// The run holds an exclusive lock on the file (flock) from before it reads
// it to its end, and waits for one held elsewhere (LockBatchFile).
int RunBatchFile(const std::string& path, int* exit_code);

// Takes the lock that a run of the batch file holds, waiting while a run
// (also one whose starter was killed) or another writer holds it; the file
// is created (mode 0600) when it is missing. Returns the descriptor that
// holds the lock (closing it lets go), or -1 with errno.
int LockBatchFile(const std::string& path);

// The lines of a text without their LF or CR LF, as the interpreter reads
// a batch file: a last line without a line end counts, an empty text has
// no lines.
std::vector<std::string> SplitTextLines(const std::string& text);

// True when the name ends in ".bat" (any case).
bool IsBatchFileName(const std::string& path);

// The program a name stands for: a name holding a "/" as it is, any other
// name in the first PATH directory that holds an executable file of that
// name (a .bat file need not be executable). Returns 0, or -1 with errno
// (ENOENT not found, EACCES found but not executable).
int FindProgramOnPath(const std::string& name, std::string* path);

// The interpreter program: zmobatch beside the running program, else the
// first one on PATH. Returns 0, or -1 with errno ENOENT.
int FindBatchInterpreter(std::string* path);

// Makes a start of the batch file *program into a start of the interpreter
// on it: *program becomes the interpreter and argv {interpreter, file,
// argv[1]...}. Returns 0, or -1 with errno when the batch file cannot be
// read or there is no interpreter.
int PrependBatchInterpreter(std::string* program, std::vector<std::string>* argv);

// The line with the password of a tool line replaced by "****": the -P
// option (bcp, isql), userid=<user>/<password>@ (the Oracle loaders), the
// logon <user>/<password>@<source> of sqlplus and the word after /pw (the
// Tessel editor). Everything else stays as it is. Every line that shows a
// tool's command to a person (the batch echo and trace, the stand-ins'
// call log) goes through it.
std::string MaskSecrets(const std::string& line);

}  // namespace zmo
