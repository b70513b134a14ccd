// Command lines for the programs under test: an argv built from a list, and
// a program started with one.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/process.h"

namespace zmo_test {

// An argv whose strings live as long as the object.
class Argv {
 public:
  Argv(std::initializer_list<std::string> args) : Argv(std::vector<std::string>(args)) {}
  explicit Argv(std::vector<std::string> args) : args_(std::move(args)) {}
  // The program's name, then args.
  Argv(std::string program, std::vector<std::string> args) : args_(std::move(args)) {
    args_.insert(args_.begin(), std::move(program));
  }
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

}  // namespace zmo_test
