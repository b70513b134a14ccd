#include "common/field_writer.h"

#include <cstdarg>
#include <cstring>

#include "common/runtime_state.h"

namespace zmo {

int dbKindFromName(const char* text) {
  if (text == nullptr) return kDbNone;
  for (int i = 0; i < 5; ++i) {
    if (std::strcmp(text, kDbKindNames[i]) == 0) return i + 1;
  }
  return kDbNone;
}

void setDatabaseKind(int kind) {
  FieldFormat& f = Runtime().field;
  f.kind = kind >= kDbOracle && kind <= kDbTessel ? kind : kDbNone;
  f.oracle = f.kind == kDbOracle;
  f.corva = f.kind == kDbCorva;
}

int DatabaseKind() { return Runtime().field.kind; }
int FieldOracle() { return Runtime().field.oracle; }
int FieldCorva() { return Runtime().field.corva; }

int writeField(std::FILE* file, int width, int quote, const char* format, ...) {
  char text[kFieldMax];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  if (n < 0) return -1;
  int len = n < kFieldMax ? n : kFieldMax - 1;

  const FieldFormat& f = Runtime().field;
  int rc;
  if (f.corva && quote == 1) {
    rc = std::fprintf(file, "\"%.*s\"", len, text);
  } else if (f.oracle) {
    rc = std::fprintf(file, "%-*.*s", width, len, text);
  } else {
    rc = std::fprintf(file, "%.*s", len, text);
  }
  return rc < 0 ? -1 : 0;
}

}  // namespace zmo
