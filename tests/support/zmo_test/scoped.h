// Scoped helpers every test folder uses: a temporary directory of the test's
// own, and environment variables (TZ among them) set for one scope.
#pragma once

#include <stdlib.h>
#include <time.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace zmo_test {

// A fresh directory under $TMPDIR (or /tmp), removed with everything in it at
// the end. Not temp_directory_path: tests point TEMP elsewhere.
class TempDir {
 public:
  explicit TempDir(const std::string& prefix = "zmo") {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/" + prefix + "_XXXXXX";
    if (mkdtemp(tmpl.data()) != nullptr) path_ = tmpl;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::string operator/(const std::string& name) const { return File(name); }

 private:
  std::string path_;
};

// Sets (or with nullopt unsets) an environment variable and restores it at
// the end of the scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_.c_str(), old_->c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// Sets TZ for one scope, with the C library told of each change.
class ScopedTz {
 public:
  explicit ScopedTz(const char* tz) : env_(std::in_place, "TZ", std::string(tz)) { tzset(); }
  ~ScopedTz() {
    env_.reset();  // TZ back first, then let the C library read it again
    tzset();
  }
  ScopedTz(const ScopedTz&) = delete;
  ScopedTz& operator=(const ScopedTz&) = delete;

 private:
  std::optional<ScopedEnv> env_;
};

}  // namespace zmo_test
