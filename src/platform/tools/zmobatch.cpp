// zmobatch <file.bat> [arguments]: runs the batch file and ends with its
// exit code. Arguments are accepted and not expanded (the system's batch
// files take none).
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/batch.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: zmobatch <file.bat>\n");
    return 2;
  }
  int code = 0;
  if (zmo::RunBatchFile(argv[1], &code) != 0) {
    std::fprintf(stderr, "zmobatch: cannot read %s: %s\n", argv[1], std::strerror(errno));
    return 1;
  }
  return code;
}
