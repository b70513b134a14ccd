// The verbs that act on the interpreter itself: cd, title, echo, type, exit.
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "batch_internal.h"
#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/window_titles.h"

namespace zmo::batch {

namespace {

std::string TrimBlanks(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

std::string LowerCase(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string CurrentDirectory() {
  char* cwd = getcwd(nullptr, 0);
  std::string out = cwd ? cwd : "";
  std::free(cwd);
  return out;
}

int DoCd(Run* run, const std::string& rest) {
  // The whole rest is the directory, blanks included; quotes only group.
  std::string dir;
  for (char c : TrimBlanks(rest)) {
    if (c != '"') dir += c;
  }
  if (dir.empty()) return WriteOut(run->out_fd, CurrentDirectory() + kLineEnd) == 0 ? 0 : 1;
  if (chdir(dir.c_str()) != 0) {
    Fail(run, "cannot change to directory " + dir + ": " + std::strerror(errno));
    return 1;
  }
  return 0;
}

int DoTitle(Run* run, const std::string& rest) {
  std::string title = TrimBlanks(rest);
  if (SetWindowTitle(getpid(), title) != 0) {
    Fail(run, "cannot set the window title: " + std::string(std::strerror(errno)));
    return 1;
  }
  run->title_set = true;
  Trace(run, "window title \"" + title + "\"");
  return 0;
}

int DoEcho(Run* run, const std::string& rest) {
  // rest begins with the blank or "." after the verb; "echo." writes an
  // empty line, "echo" alone tells the echo state.
  std::string word = LowerCase(TrimBlanks(rest));
  if (rest.empty() || (rest[0] != '.' && word.empty())) {
    return WriteOut(run->out_fd,
                    std::string("echo is ") + (run->echo_on ? "on" : "off") + kLineEnd) == 0
               ? 0
               : 1;
  }
  if (rest[0] != '.' && (word == "on" || word == "off")) {
    run->echo_on = word == "on";
    return 0;
  }
  return WriteOut(run->out_fd, rest.substr(1) + kLineEnd) == 0 ? 0 : 1;
}

int DoType(Run* run, const std::string& rest) {
  std::vector<std::string> files = SplitCommandLine(rest);
  if (files.empty()) {
    Fail(run, "type names no file");
    return 1;
  }
  int level = 0;
  for (const std::string& f : files) {
    std::string data;
    if (ReadWholeFile(f, &data) != 0) {
      Fail(run, "cannot read " + f + ": " + std::strerror(errno));
      level = 1;
      continue;
    }
    if (WriteOut(run->out_fd, data) != 0) {
      Fail(run, "cannot write the contents of " + f + ": " + std::strerror(errno));
      level = 1;
    }
  }
  return level;
}

int DoExit(Run* run, const std::string& rest) {
  std::vector<std::string> args = SplitCommandLine(rest);
  if (!args.empty() && LowerCase(args[0]) == "/b") args.erase(args.begin());
  int code = run->error_level;
  if (!args.empty()) {
    char* end = nullptr;
    errno = 0;
    long n = std::strtol(args[0].c_str(), &end, 10);
    if (errno != 0 || end == args[0].c_str() || *end != '\0') {
      Fail(run, "exit code " + args[0] + " is not a number; the error level stands");
    } else {
      // An exit status holds 0 to 255; anything else is a failure, not 0.
      code = n >= 0 && n <= 255 ? static_cast<int>(n) : 255;
    }
  }
  run->exit_requested = true;
  run->exit_code = code;
  return code;
}

}  // namespace zmo::batch
