// Helpers of the command-line tools' tests: a temp dir per test, argv from a
// list, environment variables set for one test only, and a registry store of
// the test's own with readers and writers of its values.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/registry.h"
#include "zmo_test/scoped.h"

namespace zmotest {

using zmo_test::ScopedEnv;
using zmo_test::TempDir;

// An argv whose strings live as long as the object.
class Argv {
 public:
  Argv(std::initializer_list<std::string> args) : Argv(std::vector<std::string>(args)) {}
  explicit Argv(std::vector<std::string> args) : args_(std::move(args)) {}
  int argc() const { return static_cast<int>(args_.size()); }
  // Valid until the object is changed, copied from or moved.
  char** argv() {
    ptrs_.clear();
    for (std::string& a : args_) ptrs_.push_back(a.data());
    ptrs_.push_back(nullptr);
    return ptrs_.data();
  }

 private:
  std::vector<std::string> args_;
  std::vector<char*> ptrs_;
};

// Starts program through _spawnv, waits and returns its exit code. The
// elements are joined and split again as the Windows command line is.
inline int SpawnProgram(const std::string& program, std::initializer_list<const char*> elements) {
  std::vector<const char*> argv(elements);
  argv.push_back(nullptr);
  return static_cast<int>(_spawnv(_P_WAIT, program.c_str(), argv.data()));
}

// A value as stored: its type and its bytes.
struct RegValue {
  DWORD type = REG_NONE;
  std::string bytes;
  bool operator==(const RegValue&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const RegValue& v) {
  os << "type " << v.type << " bytes \"";
  for (char c : v.bytes) {
    if (c == '\0') {
      os << "\\0";
    } else if (c == '\n') {
      os << "\\n";
    } else {
      os << c;
    }
  }
  return os << '"';
}

// A REG_SZ value's bytes: the text and its NUL.
inline RegValue Sz(const std::string& text) { return {REG_SZ, text + std::string(1, '\0')}; }

inline void PutValue(HKEY root, const std::string& key, const std::string& name,
                     const RegValue& v) {
  HKEY h = nullptr;
  char no_class[1] = "";
  ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, no_class, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &h, nullptr),
            ERROR_SUCCESS)
      << key;
  EXPECT_EQ(RegSetValueExA(h, name.c_str(), 0, v.type,
                           reinterpret_cast<const BYTE*>(v.bytes.data()),
                           static_cast<DWORD>(v.bytes.size())),
            ERROR_SUCCESS)
      << name;
  RegCloseKey(h);
}

inline std::optional<RegValue> GetValue(HKEY root, const std::string& key,
                                        const std::string& name) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return std::nullopt;
  RegValue v;
  DWORD size = 0;
  LONG ret = RegQueryValueExA(h, name.c_str(), nullptr, &v.type, nullptr, &size);
  if (ret == ERROR_SUCCESS) {
    v.bytes.resize(size);
    ret = RegQueryValueExA(h, name.c_str(), nullptr, &v.type,
                           reinterpret_cast<BYTE*>(v.bytes.data()), &size);
  }
  RegCloseKey(h);
  if (ret != ERROR_SUCCESS) return std::nullopt;
  return v;
}

inline bool KeyExists(HKEY root, const std::string& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

// A test with its own registry store and TEMP directory, both in one temp dir.
class StoreTest : public ::testing::Test {
 protected:
  StoreTest()
      : registry_("ZMO_REGISTRY", dir_ / "registry"), temp_("TEMP", dir_ / "temp") {
    std::filesystem::create_directories(dir_ / "registry");
  }
  TempDir dir_;
  ScopedEnv registry_;
  ScopedEnv temp_;
};

}  // namespace zmotest
