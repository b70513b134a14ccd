// The data layer's module state and procedures the page layer calls.
#pragma once

#include <string>

extern std::string gBinDir;

std::string GetRegValue(const std::string& name);
void SetRegValue(const std::string& name, const std::string& value);
void LoadAppGroups();
void LoadTransGroups();
// The path of a file in BinDir.
std::string BinDirFile(const std::string& name);
