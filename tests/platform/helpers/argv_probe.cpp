// Test helper: a started program that tells what it received.
//
// Writes to the file named by PROBE_OUT: "pid <pid>", "cwd <dir>", one line
// "arg <text>" per argv element after the program, one line "fd <n>" per
// open descriptor and one line "env <NAME>" per ZMO_SERVICE* variable. With
// PROBE_PAUSE set it then waits for a signal; it exits with the code in
// PROBE_EXIT (0 when unset).
#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

int main(int argc, char** argv) {
  const char* out_path = std::getenv("PROBE_OUT");
  if (out_path) {
    // The listing is taken before the output file opens, so it shows only
    // what was inherited.
    std::vector<int> fds;
    if (DIR* d = opendir("/proc/self/fd")) {
      int own = dirfd(d);
      while (dirent* e = readdir(d)) {
        if (e->d_name[0] == '.') continue;
        int fd = std::atoi(e->d_name);
        if (fd != own) fds.push_back(fd);
      }
      closedir(d);
    }
    std::FILE* f = std::fopen(out_path, "w");
    if (!f) return 100;
    std::fprintf(f, "pid %d\n", static_cast<int>(getpid()));
    char cwd[4096];
    if (getcwd(cwd, sizeof(cwd))) std::fprintf(f, "cwd %s\n", cwd);
    for (int i = 1; i < argc; ++i) std::fprintf(f, "arg %s\n", argv[i]);
    for (int fd : fds) std::fprintf(f, "fd %d\n", fd);
    for (char** e = environ; *e; ++e) {
      if (std::strncmp(*e, "ZMO_SERVICE", 11) == 0) {
        std::fprintf(f, "env %s\n", std::string(*e, std::strcspn(*e, "=")).c_str());
      }
    }
    std::fclose(f);
  }
  if (std::getenv("PROBE_PAUSE")) pause();
  const char* code = std::getenv("PROBE_EXIT");
  return code ? std::atoi(code) : 0;
}
