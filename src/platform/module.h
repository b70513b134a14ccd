// Internal: what an HMODULE points at. A shared object opened with dlopen, or
// a message catalog opened as data (its strings by id).
#pragma once

#include <map>
#include <string>

struct ZmoModule {
  void* dl = nullptr;                       // dlopen handle, or nullptr for data
  std::map<unsigned, std::string> strings;  // string resources of a data module
};
