// Finding programs: PATH lookup of a line's program, and the interpreter
// that a batch file is started through.
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/batch.h"
#include "platform/files.h"

namespace zmo {

namespace {

// 0 when path is a file that can be started, else -1 with errno.
int CheckStartable(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return -1;
  if (!S_ISREG(st.st_mode)) {
    errno = EACCES;
    return -1;
  }
  // A batch file is read by the interpreter, not executed itself.
  int mode = IsBatchFileName(path) ? R_OK : X_OK;
  return access(path.c_str(), mode);
}

}  // namespace

bool IsBatchFileName(const std::string& path) {
  return path.size() >= 4 && strcasecmp(path.c_str() + path.size() - 4, ".bat") == 0;
}

int FindProgramOnPath(const std::string& name, std::string* path) {
  if (name.empty()) {
    errno = ENOENT;
    return -1;
  }
  if (name.find(kPathSep) != std::string::npos) {
    if (CheckStartable(name) != 0) return -1;
    *path = name;
    return 0;
  }
  const char* env = std::getenv("PATH");
  std::string dirs = env ? env : "";
  int failure = ENOENT;
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t colon = dirs.find(':', start);
    if (colon == std::string::npos) colon = dirs.size();
    std::string dir = dirs.substr(start, colon - start);
    start = colon + 1;
    // An empty entry would mean the current directory; that is not searched.
    if (dir.empty()) continue;
    std::string candidate = JoinPath(dir, name);
    if (CheckStartable(candidate) == 0) {
      *path = candidate;
      return 0;
    }
    if (errno == EACCES) failure = EACCES;
  }
  errno = failure;
  return -1;
}

int FindBatchInterpreter(std::string* path) {
  std::string beside = ProgramDirectory() + kBatchInterpreterName;
  if (CheckStartable(beside) == 0) {
    *path = beside;
    return 0;
  }
  if (FindProgramOnPath(kBatchInterpreterName, path) == 0) return 0;
  errno = ENOENT;
  return -1;
}

int PrependBatchInterpreter(std::string* program, std::vector<std::string>* argv) {
  if (access(program->c_str(), R_OK) != 0) return -1;
  std::string interpreter;
  if (FindBatchInterpreter(&interpreter) != 0) return -1;
  std::vector<std::string> args{interpreter, *program};
  if (argv->size() > 1) args.insert(args.end(), argv->begin() + 1, argv->end());
  *argv = std::move(args);
  *program = interpreter;
  return 0;
}

}  // namespace zmo
