// Test helper: a program that batch lines start. Writes one line to its
// standard output, "<name> [arg] [arg] ...", and appends the same output to
// the file named by BATCH_PROBE_LOG, so a test sees both what reached a
// redirection and the order of the calls. "--pwd" adds a line "cwd <dir>";
// "--windows" a line "window <title>" for each window in $ZMO_WINDOWS;
// "--exit=N" ends it with exit code N.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Windows() {
  const char* dir = std::getenv("ZMO_WINDOWS");
  std::vector<std::string> titles;
  if (DIR* d = dir ? opendir(dir) : nullptr) {
    while (dirent* e = readdir(d)) {
      if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
      std::ifstream in(std::string(dir) + "/" + e->d_name);
      std::stringstream text;
      text << in.rdbuf();
      std::string entry = text.str();
      titles.push_back(entry.substr(entry.find('\n') + 1));
    }
    closedir(d);
  }
  std::sort(titles.begin(), titles.end());
  std::string out;
  for (const std::string& t : titles) out += "window " + t + "\n";
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  std::string name = argv[0];
  size_t slash = name.rfind('/');
  if (slash != std::string::npos) name = name.substr(slash + 1);
  std::string out = name;
  int code = 0;
  bool pwd = false, windows = false;
  for (int i = 1; i < argc; ++i) {
    out += " [" + std::string(argv[i]) + "]";
    if (std::strncmp(argv[i], "--exit=", 7) == 0) code = std::atoi(argv[i] + 7);
    pwd = pwd || std::strcmp(argv[i], "--pwd") == 0;
    windows = windows || std::strcmp(argv[i], "--windows") == 0;
  }
  out += "\n";
  if (pwd) {
    char cwd[4096];
    if (getcwd(cwd, sizeof(cwd))) out += "cwd " + std::string(cwd) + "\n";
  }
  if (windows) out += Windows();
  if (write(1, out.data(), out.size()) < 0) return 101;
  if (const char* log = std::getenv("BATCH_PROBE_LOG")) {
    int fd = open(log, O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0 || write(fd, out.data(), out.size()) < 0) return 102;
    close(fd);
  }
  return code;
}
