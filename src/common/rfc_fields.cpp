#include "common/rfc_fields.h"

namespace zmo {

std::string fieldWord(const char* field, unsigned n) {
  unsigned len = 0;
  while (len < n && field[len] != ' ' && field[len] != '\0') ++len;
  return std::string(field, len);
}

}  // namespace zmo
