// Internal: the pieces of the batch interpreter (platform/batch.h).
#pragma once

#include <string>
#include <vector>

namespace zmo::batch {

// A `>` (append false) or `>>` (append true) and the file it names.
struct Redirection {
  bool append = false;
  std::string target;
};

// A line taken apart: the command without its redirections, and them in
// the order they stand.
struct Line {
  std::string command;
  std::vector<Redirection> redirections;
};

// Takes the redirections out of text. Outside double quotes, `>` or `>>`,
// the blanks after it and its target (a quoted name, or up to the next
// blank or `>`) are removed; everything else stays, the blank before the
// operator included, as the command processor leaves it. Returns 0, or -1
// with *error when an operator has no target.
int SplitRedirections(const std::string& text, Line* out, std::string* error);

enum class Verb { kNone, kRem, kCd, kTitle, kEcho, kMove, kDel, kType, kExit, kIf, kGoto };

// The verb the command begins with (kNone: the line starts a program) and
// the text after it. For echo the text begins with the blank or "." that
// follows the verb; for the others the blanks after the verb are dropped.
Verb ParseVerb(const std::string& command, std::string* rest);

// Windows file-name matching: * any run of characters, ? one character,
// everything else itself (case-sensitive, as Linux names are).
bool MatchWildcard(const std::string& pattern, const std::string& name);

// The state of one batch run.
struct Run {
  std::string file;     // the batch file's path
  int line_no = 0;      // the line being run, from 1
  int error_level = 0;  // the result of the last command
  bool echo_on = true;  // commands are echoed to standard output
  bool exit_requested = false;
  int exit_code = 0;
  int out_fd = 1;          // where the current command's output goes
  int trace_fd = -1;       // $ZMO_BATCH_TRACE, or -1
  bool title_set = false;  // a title line retitled this process's window
  std::string goto_label;  // set by goto: the label the batch goes on after
  int err_fd = 2;          // where failures are told; -1: nowhere
  // Runs in place of every command that would touch the machine (cd,
  // title, move, del, type, a program) and gives its error level; the
  // line's redirections are taken apart but no file is opened. echo, exit,
  // if, goto, rem and labels run as ever. Null: everything runs. For the
  // fuzz target, which runs the flow of any text without harm.
  int (*stand_in)(Run* run, const std::string& command) = nullptr;
  // The run ends after this many lines (0: no limit), since a goto may
  // loop for ever.
  size_t line_limit = 0;
};

// Runs the lines of a batch in order, following goto, until an exit, the
// end or the line limit. Returns the batch's exit code: the number of its
// exit line, else the error level of its last line.
int RunLines(Run* run, const std::vector<std::string>& lines);

// The label a line defines (":name" after leading blanks, the first word,
// lower-cased), or "" when the line is no label.
std::string LabelOf(const std::string& line);

// The verbs. Each returns the command's error level (0 success).
int DoCd(Run* run, const std::string& rest);
int DoTitle(Run* run, const std::string& rest);
int DoEcho(Run* run, const std::string& rest);
int DoMove(Run* run, const std::string& rest);
int DoDel(Run* run, const std::string& rest);
int DoType(Run* run, const std::string& rest);
int DoExit(Run* run, const std::string& rest);
// goto <label>: the batch goes on after the line ":<label>".
int DoGoto(Run* run, const std::string& rest);
// if [not] errorlevel <n> <command>: runs the command when the error level
// is n or more (with not: less than n); otherwise the error level stands.
int DoIf(Run* run, const std::string& rest);

// Runs the text of one line without echo: its redirections, then its verb
// or program. Returns the error level the line leaves.
int RunCommand(Run* run, const std::string& text);

// Starts the program the command names with its output on run->out_fd and
// waits for it. Returns its exit code, or kBatchNotFound/kBatchCannotStart.
int RunProgram(Run* run, const std::string& command);

// Appends one line about the current batch line to the trace file.
void Trace(Run* run, const std::string& text);
// Reports a failure of the current line on standard error and in the trace.
void Fail(Run* run, const std::string& text);
// The process's current directory ("" when it cannot be had).
std::string CurrentDirectory();
// Writes all of data to fd. Returns 0, or -1 with errno.
int WriteOut(int fd, const std::string& data);

}  // namespace zmo::batch
