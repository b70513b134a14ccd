// Reading a key or a value from a file named with a leading "@".
#include <cstdio>

#include "zmosetval/zmosetval.h"

namespace zmo::setval {

int setvalReadFile(const char* path, bool binary, std::string* out) {
  out->clear();
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return 1;
  // Text mode reads a CR LF pair as one LF, the way the Windows runtime does;
  // the byte limit counts what is read after that.
  int c;
  while (out->size() < kSetvalFileMax && (c = std::getc(f)) != EOF) {
    if (!binary && c == '\r') {
      int next = std::getc(f);
      if (next == '\n') {
        c = '\n';
      } else if (next != EOF) {
        std::ungetc(next, f);
      }
    }
    out->push_back(static_cast<char>(c));
  }
  std::fclose(f);
  return out->empty() ? 2 : 0;
}

}  // namespace zmo::setval
