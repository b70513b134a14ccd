#include "platform/process.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/batch.h"
#include "platform/command_line.h"
#include "platform/window_titles.h"

extern char** environ;

namespace zmo {

namespace {

// What the children tell the caller over the report pipe.
enum ReportKind : int { kReportPid = 1, kReportExecErrno = 2, kReportForkErrno = 3 };
struct Report {
  int kind;
  int value;
};

int ReadFull(int fd, void* buf, size_t size) {
  char* p = static_cast<char*>(buf);
  size_t got = 0;
  while (got < size) {
    ssize_t n = read(fd, p + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  return static_cast<int>(got);
}

// Only async-signal-safe calls from here on in the children.
void WriteReport(int fd, int kind, int value) {
  Report r{kind, value};
  ssize_t ignored = write(fd, &r, sizeof(r));
  (void)ignored;
}

// Moves fd to a number above the standard three, close-on-exec, so that a
// caller that runs with 0-2 closed cannot have its channel replaced by them.
int AboveStdio(int fd) {
  if (fd > 2) return fd;
  int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
  close(fd);
  return moved;
}

int MakeChannel(int fds[2], bool socket) {
  int rc = socket ? socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) : pipe2(fds, O_CLOEXEC);
  if (rc != 0) return -1;
  fds[0] = AboveStdio(fds[0]);
  fds[1] = AboveStdio(fds[1]);
  if (fds[0] < 0 || fds[1] < 0) {
    if (fds[0] >= 0) close(fds[0]);
    if (fds[1] >= 0) close(fds[1]);
    return -1;
  }
  return 0;
}

void CloseIfOpen(int* fd) {
  if (*fd >= 0) close(*fd);
  *fd = -1;
}

// Closes every descriptor above 2 except keep.
void CloseInheritedDescriptors(int keep) {
  if (keep > 3) syscall(SYS_close_range, 3u, static_cast<unsigned>(keep - 1), 0u);
  syscall(SYS_close_range, static_cast<unsigned>(keep + 1), ~0u, 0u);
}

bool NameMatches(const char* entry, const std::string& name) {
  return std::strncmp(entry, name.c_str(), name.size()) == 0 && entry[name.size()] == '=';
}

std::string EnvName(const std::string& entry) { return entry.substr(0, entry.find('=')); }

// The caller's environment with the request's changes.
std::vector<std::string> ChildEnvironment(const SpawnRequest& req) {
  std::vector<std::string> names = req.unset;
  for (const std::string& e : req.env) names.push_back(EnvName(e));
  std::vector<std::string> out;
  for (char** p = environ; p && *p; ++p) {
    bool drop = false;
    for (const std::string& n : names) drop = drop || NameMatches(*p, n);
    if (!drop) out.emplace_back(*p);
  }
  out.insert(out.end(), req.env.begin(), req.env.end());
  return out;
}

std::vector<char*> CArray(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (std::string& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

// Waits for a child and reaps it. Returns its pid, or -1 with errno.
pid_t WaitForChild(pid_t pid, int* wait_status) {
  int st = 0;
  pid_t got;
  do {
    got = waitpid(pid, &st, 0);
  } while (got < 0 && errno == EINTR);
  if (got >= 0 && wait_status) *wait_status = st;
  return got;
}

// The child side: stdio, the hold for before_exec, descriptors, exec.
[[noreturn]] void RunChild(const char* path, char** argv, char** envp, bool detached, int report_fd,
                           int go_fd) {
  if (detached) {
    // A service holds on to no directory of whoever started it.
    if (chdir("/") != 0) _exit(127);
    int null_fd = open("/dev/null", O_RDWR);
    if (null_fd >= 0) {
      dup2(null_fd, 0);
      dup2(null_fd, 1);
      dup2(null_fd, 2);
      if (null_fd > 2) close(null_fd);
    }
  }
  if (go_fd >= 0) {
    char go = 0;
    ssize_t n;
    do {
      n = read(go_fd, &go, 1);
    } while (n < 0 && errno == EINTR);
    if (n != 1) _exit(127);  // the caller cancelled the start
  }
  CloseInheritedDescriptors(report_fd);
  execve(path, argv, envp);
  WriteReport(report_fd, kReportExecErrno, errno);
  _exit(127);
}

}  // namespace

int SpawnProcess(const SpawnRequest& request, pid_t* pid_out) {
  std::vector<std::string> argv_strings = request.argv;
  if (argv_strings.empty()) argv_strings.push_back(request.path);
  std::vector<std::string> env_strings = ChildEnvironment(request);
  std::vector<char*> argv = CArray(argv_strings);
  std::vector<char*> envp = CArray(env_strings);

  int report[2] = {-1, -1};
  int go[2] = {-1, -1};
  if (MakeChannel(report, false) != 0) return -1;
  if (request.before_exec && MakeChannel(go, true) != 0) {
    int saved = errno;
    CloseIfOpen(&report[0]);
    CloseIfOpen(&report[1]);
    errno = saved;
    return -1;
  }

  pid_t first = fork();
  if (first == 0) {
    close(report[0]);
    if (go[1] >= 0) close(go[1]);
    if (request.detached) {
      setsid();
      pid_t second = fork();
      if (second < 0) {
        WriteReport(report[1], kReportForkErrno, errno);
        _exit(127);
      }
      if (second > 0) {
        WriteReport(report[1], kReportPid, static_cast<int>(second));
        _exit(0);
      }
    }
    RunChild(request.path.c_str(), argv.data(), envp.data(), request.detached, report[1], go[0]);
  }
  int fork_errno = errno;
  CloseIfOpen(&report[1]);
  CloseIfOpen(&go[0]);
  if (first < 0) {
    CloseIfOpen(&report[0]);
    CloseIfOpen(&go[1]);
    errno = fork_errno;
    return -1;
  }

  // The pid of the process that will run the program.
  pid_t pid = first;
  int failure = 0;
  if (request.detached) {
    WaitForChild(first, nullptr);
    Report r{};
    if (ReadFull(report[0], &r, sizeof(r)) != sizeof(r)) {
      failure = ECHILD;
    } else if (r.kind == kReportPid) {
      pid = static_cast<pid_t>(r.value);
    } else {
      failure = r.value;
    }
  }
  if (failure == 0 && request.before_exec && request.before_exec(pid) != 0) failure = ECANCELED;
  if (go[1] >= 0) {
    // Closing without the byte makes a held child give up.
    if (failure == 0) {
      char byte = 1;
      if (send(go[1], &byte, 1, MSG_NOSIGNAL) != 1) failure = errno ? errno : EPIPE;
    }
    CloseIfOpen(&go[1]);
  }
  if (failure == 0) {
    // End of file: the exec closed the channel, the program runs.
    Report r{};
    if (ReadFull(report[0], &r, sizeof(r)) == sizeof(r)) failure = r.value;
  }
  CloseIfOpen(&report[0]);
  if (failure != 0) {
    if (!request.detached) WaitForChild(first, nullptr);
    errno = failure;
    return -1;
  }
  *pid_out = pid;
  return 0;
}

int ExitCodeFromWaitStatus(int wait_status) {
  if (WIFEXITED(wait_status)) return WEXITSTATUS(wait_status);
  if (WIFSIGNALED(wait_status)) return 128 + WTERMSIG(wait_status);
  return -1;
}

std::uint64_t ProcessStartTime(pid_t pid) {
  if (pid <= 0) return 0;
  char name[64];
  std::snprintf(name, sizeof(name), "/proc/%d/stat", static_cast<int>(pid));
  std::FILE* f = std::fopen(name, "re");
  if (!f) return 0;
  char buf[1024];
  size_t n = std::fread(buf, 1, sizeof(buf) - 1, f);
  std::fclose(f);
  buf[n] = '\0';
  // The command name may hold blanks and parentheses: fields follow the last ')'.
  const char* p = std::strrchr(buf, ')');
  if (!p) return 0;
  char state = 0;
  unsigned long long start = 0;
  // Fields 3 (state) to 22 (start time); the 18 between are skipped.
  int got = std::sscanf(p + 1,
                        " %c %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s "
                        "%*s %*s %llu",
                        &state, &start);
  if (got != 2 || state == 'Z' || state == 'X') return 0;
  return start;
}

}  // namespace zmo

namespace {

// The one place where a batch file gets its interpreter: zmobatch is put in
// front of the file (program, then the file and its arguments).
int AddBatchInterpreter(std::string* program, std::vector<std::string>* argv) {
  return zmo::PrependBatchInterpreter(program, argv);
}

// A console program started here has a window titled by its program path
// (a batch file's path for a batch) from before it runs until it ends.
int OpenConsoleWindow(const std::string& title, pid_t pid) {
  zmo::SetWindowTitle(pid, title);  // the start does not depend on the desktop
  return 0;
}

}  // namespace

extern "C" std::intptr_t _spawnv(int mode, const char* path, const char* const* argv) {
  if ((mode != _P_WAIT && mode != _P_NOWAIT) || !path || !*path || !argv) {
    errno = EINVAL;
    return -1;
  }
  std::vector<std::string> elements;
  for (const char* const* p = argv; *p; ++p) elements.emplace_back(*p);
  zmo::SpawnRequest req;
  req.path = path;
  req.argv = zmo::SplitCommandLine(zmo::JoinCommandLine(elements));
  req.before_exec = [title = req.path](pid_t child) { return OpenConsoleWindow(title, child); };
  if (zmo::IsBatchFileName(req.path) && AddBatchInterpreter(&req.path, &req.argv) != 0) return -1;
  pid_t pid = 0;
  if (zmo::SpawnProcess(req, &pid) != 0) return -1;
  if (mode == _P_NOWAIT) return pid;
  int status = 0;
  if (_cwait(&status, pid, _WAIT_CHILD) < 0) return -1;
  return status;
}

extern "C" std::intptr_t _cwait(int* status, std::intptr_t pid, int) {
  // Only one given child; waitpid would take any child for 0 or -1.
  if (pid <= 0) {
    errno = EINVAL;
    return -1;
  }
  int st = 0;
  if (zmo::WaitForChild(static_cast<pid_t>(pid), &st) < 0) return -1;
  zmo::DropWindowIfGone(static_cast<pid_t>(pid));
  if (status) *status = zmo::ExitCodeFromWaitStatus(st);
  return pid;
}
