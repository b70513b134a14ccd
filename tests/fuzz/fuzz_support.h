// What the fuzz targets share: a check that ends the run as a crash, which
// libFuzzer reports with the input, and a directory of a target's own.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace zmo_fuzz {

inline void Check(bool holds) {
  if (!holds) std::abort();
}

// A new directory under TMPDIR (else /tmp) named <prefix>_XXXXXX, removed
// with what it holds when the object goes, at the end of the run for a
// static one.
struct OwnDir {
  explicit OwnDir(const char* prefix) {
    const char* base = std::getenv("TMPDIR");
    path = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/" + prefix + "_XXXXXX";
    Check(mkdtemp(path.data()) != nullptr);
  }
  ~OwnDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  OwnDir(const OwnDir&) = delete;
  OwnDir& operator=(const OwnDir&) = delete;
  std::string path;
};

}  // namespace zmo_fuzz
