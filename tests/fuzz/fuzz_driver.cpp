// The fuzz targets' main where libFuzzer is not linked (the default build,
// with g++ and, in build-asan/, the sanitizers): runs each file named, and
// every file of each directory named, through LLVMFuzzerTestOneInput once.
// Arguments that begin with "-" are libFuzzer's and are passed over.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.empty() || arg[0] == '-') continue;
    if (!std::filesystem::is_directory(arg)) {
      files.push_back(arg);
      continue;
    }
    std::vector<std::string> in_dir;
    for (const auto& entry : std::filesystem::directory_iterator(arg)) {
      if (entry.is_regular_file()) in_dir.push_back(entry.path());
    }
    std::sort(in_dir.begin(), in_dir.end());
    files.insert(files.end(), in_dir.begin(), in_dir.end());
  }
  for (const std::string& file : files) {
    std::string data;
    if (zmo::ReadWholeFile(file, &data) != 0) {
      std::fprintf(stderr, "cannot read %s\n", file.c_str());
      return 1;
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
  }
  std::fprintf(stderr, "%zu inputs run\n", files.size());
  return files.empty() ? 1 : 0;
}
