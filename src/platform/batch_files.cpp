// The verbs that act on files: move and del.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "batch_internal.h"
#include "platform/command_line.h"
#include "platform/files.h"

namespace zmo::batch {

namespace {

std::string ErrorText() { return std::strerror(errno); }

// The directory part ("." when there is none) and the name part of a path.
void SplitPath(const std::string& path, std::string* dir, std::string* name) {
  size_t slash = path.rfind(kPathSep);
  if (slash == std::string::npos) {
    *dir = ".";
    *name = path;
  } else {
    *dir = slash == 0 ? std::string(1, kPathSep) : path.substr(0, slash);
    *name = path.substr(slash + 1);
  }
}

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

// A move between file systems: copy to a new file (never over an existing
// one), then remove the source. On failure the source stays and no partial
// target is left.
int CopyThenRemove(const std::string& from, const std::string& to) {
  std::string data;
  struct stat st;
  if (stat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    errno = EXDEV;
    return -1;
  }
  if (ReadWholeFile(from, &data) != 0) return -1;
  int fd = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
  if (fd < 0) return -1;
  int saved = 0;
  if (WriteOut(fd, data) != 0 || fsync(fd) != 0) saved = errno;
  if (close(fd) != 0 && saved == 0) saved = errno;
  if (saved == 0 && unlink(from.c_str()) != 0) saved = errno;
  if (saved != 0) {
    unlink(to.c_str());
    errno = saved;
    return -1;
  }
  return 0;
}

// Deletes one file named without wildcards. Returns the error level.
int DeleteOne(Run* run, const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) {
    // Nothing to delete is no failure: a retention delete often finds none.
    Trace(run, "no file " + path + " to delete");
    return 0;
  }
  if (S_ISDIR(st.st_mode)) {
    Fail(run, "will not delete " + path + ": it is a directory");
    return 1;
  }
  if (unlink(path.c_str()) != 0) {
    Fail(run, "cannot delete " + path + ": " + ErrorText());
    return 1;
  }
  Trace(run, "deleted " + path);
  return 0;
}

// Deletes the files of a directory whose names match. Returns the error level.
int DeleteMatching(Run* run, const std::string& pattern) {
  std::string dir, name;
  SplitPath(pattern, &dir, &name);
  if (HasWildcard(dir)) {
    Fail(run, "wildcards are allowed in the file name only: " + pattern);
    return 1;
  }
  DIR* d = opendir(dir.c_str());
  if (!d) {
    if (errno == ENOENT) {
      Trace(run, "no files match " + pattern);
      return 0;
    }
    Fail(run, "cannot read directory " + dir + ": " + ErrorText());
    return 1;
  }
  std::vector<std::string> matches;
  while (dirent* e = readdir(d)) {
    std::string entry = e->d_name;
    if (entry == "." || entry == ".." || !MatchWildcard(name, entry)) continue;
    std::string path = pattern.find(kPathSep) == std::string::npos ? entry : JoinPath(dir, entry);
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) matches.push_back(path);
  }
  closedir(d);
  if (matches.empty()) Trace(run, "no files match " + pattern);
  std::sort(matches.begin(), matches.end());
  int level = 0;
  for (const std::string& path : matches) level = std::max(level, DeleteOne(run, path));
  return level;
}

}  // namespace

int DoMove(Run* run, const std::string& rest) {
  std::vector<std::string> args = SplitCommandLine(rest);
  if (args.size() != 2) {
    Fail(run, "move takes a source and a target");
    return 1;
  }
  const std::string& from = args[0];
  std::string to = args[1];
  struct stat st;
  if (stat(to.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::string dir, name;
    SplitPath(from, &dir, &name);
    to = JoinPath(to, name);
  }
  if (lstat(from.c_str(), &st) != 0) {
    Fail(run, "cannot move " + from + ": " + ErrorText());
    return 1;
  }
  int rc = RenameNoReplace(from.c_str(), to.c_str());
  if (rc != 0 && errno == EXDEV) rc = CopyThenRemove(from, to);
  if (rc != 0) {
    // Never over an existing file: an archive must not replace another.
    if (errno == EEXIST) {
      Fail(run, "will not move " + from + ": " + to + " exists already");
    } else {
      Fail(run, "cannot move " + from + " to " + to + ": " + ErrorText());
    }
    return 1;
  }
  Trace(run, "moved " + from + " to " + to);
  return 0;
}

int DoDel(Run* run, const std::string& rest) {
  std::vector<std::string> patterns = SplitCommandLine(rest);
  if (patterns.empty()) {
    Fail(run, "del names no file");
    return 1;
  }
  int level = 0;
  for (const std::string& p : patterns) {
    int rc = HasWildcard(p) ? DeleteMatching(run, p) : DeleteOne(run, p);
    level = std::max(level, rc);
  }
  return level;
}

}  // namespace zmo::batch
