// The interpreter's loop: each line echoed, traced, its redirections opened,
// its verb run or its program started and waited for.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "batch_internal.h"
#include "platform/batch.h"
#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/window_titles.h"

namespace zmo {

namespace batch {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int OpenTrace() {
  const char* path = std::getenv(kBatchTraceEnv);
  if (!path || !*path) return -1;
  int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) {
    WriteOut(2, std::string("zmobatch: cannot open the trace file ") + path + ": " +
                    std::strerror(errno) + "\n");
  }
  return fd;
}

// Opens every target in order (each `>` empties its file, as the command
// processor does) and gives the last one as the output. Returns 0, or -1
// after reporting the file that could not be opened.
int OpenRedirections(Run* run, const std::vector<Redirection>& redirections, int* out) {
  *out = 1;
  for (const Redirection& r : redirections) {
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (r.append ? O_APPEND : O_TRUNC);
    int fd = open(r.target.c_str(), flags, 0644);
    if (fd < 0) {
      Fail(run, "cannot open " + r.target + " for the output: " + std::strerror(errno));
      if (*out != 1) close(*out);
      *out = 1;
      return -1;
    }
    if (*out != 1) close(*out);
    *out = fd;
  }
  return 0;
}

int RunVerb(Run* run, Verb verb, const std::string& command, const std::string& rest) {
  switch (verb) {
    case Verb::kCd:
      return DoCd(run, rest);
    case Verb::kTitle:
      return DoTitle(run, rest);
    case Verb::kEcho:
      return DoEcho(run, rest);
    case Verb::kMove:
      return DoMove(run, rest);
    case Verb::kDel:
      return DoDel(run, rest);
    case Verb::kType:
      return DoType(run, rest);
    case Verb::kExit:
      return DoExit(run, rest);
    case Verb::kIf:
      return DoIf(run, rest);
    case Verb::kGoto:
      return DoGoto(run, rest);
    case Verb::kRem:
      return run->error_level;
    case Verb::kNone:
      break;
  }
  return RunProgram(run, command);
}

void RunLine(Run* run, const std::string& raw) {
  // Leading blanks and "@" (which keeps the line from being echoed) go.
  size_t i = 0;
  bool quiet = false;
  // Every step moves on, whatever came before ("@ echo", "@@echo").
  for (; i < raw.size() && (raw[i] == '@' || IsBlank(raw[i])); ++i) {
    if (raw[i] == '@') quiet = true;
  }
  std::string text = raw.substr(i);
  if (text.empty() || text[0] == ':') return;  // a label only marks a place
  // What is shown never holds a clear password: a console run prints it.
  const std::string shown = MaskSecrets(text);
  if (run->echo_on && !quiet) WriteOut(1, CurrentDirectory() + ">" + shown + kLineEnd);
  Trace(run, shown);
  int level = RunCommand(run, text);
  run->error_level = level;
  if (level != 0) Trace(run, "error level " + std::to_string(level));
}

// The index of the line after the label's line, or npos when there is none.
size_t FindLabel(const std::vector<std::string>& lines, const std::string& label) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (LabelOf(lines[i]) == label) return i + 1;
  }
  return std::string::npos;
}

}  // namespace

int RunLines(Run* run, const std::vector<std::string>& lines) {
  size_t run_lines = 0;
  for (size_t i = 0; i < lines.size() && !run->exit_requested;) {
    if (run->line_limit != 0 && run_lines++ == run->line_limit) break;
    run->line_no = static_cast<int>(i) + 1;
    RunLine(run, lines[i]);
    ++i;
    if (run->goto_label.empty()) continue;
    i = FindLabel(lines, run->goto_label);
    if (i == std::string::npos) {
      // As the command processor does: a missing label ends the batch.
      Fail(run, "no label :" + run->goto_label);
      run->error_level = 1;
    } else {
      Trace(run, "going on after :" + run->goto_label);
    }
    run->goto_label.clear();
  }
  run->line_no = 0;
  return run->exit_requested ? run->exit_code : run->error_level;
}

int RunCommand(Run* run, const std::string& text) {
  std::string rest;
  Verb verb = ParseVerb(text, &rest);
  if (verb == Verb::kRem) return run->error_level;  // a remark's ">" redirects nothing
  // if and goto act before redirections: those belong to the command an
  // if runs.
  if (verb == Verb::kIf) return DoIf(run, rest);
  if (verb == Verb::kGoto) return DoGoto(run, rest);
  Line line;
  std::string error;
  int out = 1;
  if (SplitRedirections(text, &line, &error) != 0) {
    Fail(run, error);
    return 1;
  }
  verb = ParseVerb(line.command, &rest);
  if (run->stand_in != nullptr && verb != Verb::kEcho && verb != Verb::kExit) {
    return run->stand_in(run, line.command);
  }
  if (run->stand_in == nullptr && OpenRedirections(run, line.redirections, &out) != 0) return 1;
  run->out_fd = out;
  int level = RunVerb(run, verb, line.command, rest);
  if (out != 1) close(out);
  run->out_fd = 1;
  return level;
}

int RunProgram(Run* run, const std::string& command) {
  std::vector<std::string> args = SplitCommandLine(command);
  if (args.empty()) return 0;  // a line of redirections only: the files are made
  SpawnRequest req;
  if (FindProgramOnPath(args[0], &req.path) != 0) {
    bool denied = errno == EACCES;
    Fail(run, args[0] + (denied ? " cannot be started: permission denied" : ": no such program"));
    return denied ? kBatchCannotStart : kBatchNotFound;
  }
  req.argv = args;
  if (IsBatchFileName(req.path) && PrependBatchInterpreter(&req.path, &req.argv) != 0) {
    Fail(run, "cannot start the batch " + req.path + ": " + std::strerror(errno));
    return kBatchCannotStart;
  }
  // The child takes its standard output from descriptor 1, so the line's
  // output is put there for the time of the start.
  int saved = -1;
  bool had_stdout = fcntl(1, F_GETFD) != -1;
  if (run->out_fd != 1) {
    if (had_stdout) saved = fcntl(1, F_DUPFD_CLOEXEC, 3);
    dup2(run->out_fd, 1);
  }
  pid_t pid = 0;
  int rc = SpawnProcess(req, &pid);
  int spawn_errno = errno;
  if (run->out_fd != 1) {
    if (saved >= 0) {
      dup2(saved, 1);
      close(saved);
    } else {
      close(1);
    }
  }
  if (rc != 0) {
    Fail(run, "cannot start " + req.path + ": " + std::strerror(spawn_errno));
    return spawn_errno == ENOENT ? kBatchNotFound : kBatchCannotStart;
  }
  Trace(run, "started " + req.path + " as process " + std::to_string(pid));
  int status = 0;
  if (_cwait(&status, pid, _WAIT_CHILD) < 0) {
    Fail(run, "lost process " + std::to_string(pid) + ": " + std::strerror(errno));
    return kBatchCannotStart;
  }
  Trace(run, req.path + " ended with exit code " + std::to_string(status));
  return status;
}

}  // namespace batch

std::vector<std::string> SplitTextLines(const std::string& data) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < data.size()) {
    size_t nl = data.find('\n', start);
    size_t end = nl == std::string::npos ? data.size() : nl;
    std::string line = data.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

namespace {

// Waits for the exclusive lock on fd. 0, or -1 with errno.
int LockExclusive(int fd) {
  int rc;
  do {
    rc = flock(fd, LOCK_EX);
  } while (rc != 0 && errno == EINTR);
  return rc;
}

}  // namespace

int LockBatchFile(const std::string& path) { return LockFileExclusive(path); }

int RunBatchFile(const std::string& path, int* exit_code) {
  // Whoever writes the file anew waits until this run has ended.
  int lock = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (lock < 0) return -1;
  if (LockExclusive(lock) != 0) {
    int saved = errno;
    close(lock);
    errno = saved;
    return -1;
  }
  std::string data;
  if (ReadWholeFile(path, &data) != 0) {
    int saved = errno;
    close(lock);
    errno = saved;
    return -1;
  }
  batch::Run run;
  run.file = path;
  run.trace_fd = batch::OpenTrace();
  // The batch's cd and title last as long as the batch.
  int home = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  std::string old_title;
  bool had_title = GetWindowTitleOf(getpid(), &old_title) == 0;
  batch::Trace(&run, "batch started");
  const int code = batch::RunLines(&run, SplitTextLines(data));
  batch::Trace(&run, "batch ended with exit code " + std::to_string(code));
  if (home >= 0) {
    if (fchdir(home) != 0) batch::Fail(&run, "cannot return to the directory it started in");
    close(home);
  }
  if (run.title_set) {
    if (had_title) {
      SetWindowTitle(getpid(), old_title);
    } else {
      RemoveWindow(getpid());
    }
  }
  if (run.trace_fd >= 0) close(run.trace_fd);
  close(lock);
  *exit_code = code;
  return 0;
}

}  // namespace zmo
