// The product directory every data file lies in, and the guard that keeps a
// configurator without BinDir from reading and writing at the root.
#pragma once

#include <string>

namespace zmo::config {

// Result codes.
constexpr int kBinDirOk = 0;
constexpr int kBinDirMissing = 1;  // BinDir is not set (or empty)

// Reads the registry value BinDir into gBinDir. Returns kBinDirOk, or
// kBinDirMissing when the value is missing or empty; the page layer then
// warns once at start.
int ReadBinDir();

// True while gBinDir is empty: loads find no files there and saves of its
// files are refused.
bool BinDirMissing();

// The path of a data file in BinDir. Returns kBinDirOk and *path, or
// kBinDirMissing (path cleared) so that no caller ever builds "/name".
int BinFilePath(const std::string& name, std::string* path);

}  // namespace zmo::config
