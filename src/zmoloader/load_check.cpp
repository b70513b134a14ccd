#include "zmoloader/load_check.h"

#include <cinttypes>
#include <cstdio>

#include "lines.h"
#include "platform/files.h"
#include "zmoloader/load_files.h"
#include "zmoloader/state.h"

namespace zmo::loader {

std::string statiLoadTag() {
  std::string data;
  if (zmo::ReadWholeFile(loaderState().stati_output, &data) != 0) return "";
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : data) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  char tag[64];
  std::snprintf(tag, sizeof tag, "%zx-%016" PRIx64, data.size(), hash);
  return tag;
}

std::string loadDoneInsert(const std::string& tag) {
  return std::string("insert into ") + kLoadDoneTable + " (load_tag) values ('" + tag + "')";
}

int writeLoadCheckScript(const std::string& tag) {
  // 1/(1 - n) divides by zero exactly when the tag is there; the client
  // then ends with 2, a failed statement, and with 0 otherwise.
  const Lines lines = {
      std::string("select 1/(1 - count(*)) from ") + kLoadDoneTable + " where load_tag = '" +
          tag + "';",
      "EXIT;"};
  return writeLoaderFile(binPath(kLoadCheckScript), lines);
}

}  // namespace zmo::loader
