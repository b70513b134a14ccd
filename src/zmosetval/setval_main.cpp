// One run of zmosetval: scan, read @files, set or delete, leave the status.
#include <cstdio>

#include "zmosetval/zmosetval.h"

namespace zmo::setval {

namespace {

int wrongUsage() {
  usage();
  return kSetvalUsage;
}

// A key made of nothing but separators names the root itself; deleting it
// would empty the whole root, so it is refused as wrong usage.
bool namesRoot(const std::string& key) { return key.find_first_not_of('\\') == std::string::npos; }

int readAtFile(std::string* text, bool binary, const char* what) {
  std::string path = text->substr(1);
  int ret = setvalReadFile(path.c_str(), binary, text);
  if (ret == 1) {
    std::printf("*** ERROR: Unable to open %s\n", path.c_str());
    return kSetvalFileFailed;
  }
  if (ret == 2) {
    std::printf("*** ERROR: Unable to read %s from %s\n", what, path.c_str());
    return kSetvalFileFailed;
  }
  return kSetvalOk;
}

int run(int argc, char** argv) {
  SetvalOptions& o = setvalState().opt;
  if (setvalParseArgs(argc, argv) != 0) return wrongUsage();
  if (!o.del) {
    bool from_file = !o.value.empty() && o.value[0] == '@';
    if (o.binary && !from_file) return wrongUsage();
    if (from_file) {
      int ret = readAtFile(&o.value, o.binary, "value");
      if (ret != kSetvalOk) return ret;
    }
  }
  if (!o.key.empty() && o.key[0] == '@') {
    int ret = readAtFile(&o.key, false, "key");
    if (ret != kSetvalOk) return ret;
  }
  if (o.del) {
    if (namesRoot(o.key)) return wrongUsage();
    return deleteRegEntry(o.root, o.key.c_str(), o.has_name ? o.value_name.c_str() : nullptr);
  }
  return setvalSetValue(o.root, o.key.c_str(), o.value_name.c_str(), o.value, o.binary);
}

}  // namespace

int setvalMain(int argc, char** argv) {
  setvalReset();
  int status = run(argc, argv);
  std::fflush(stdout);
  return writeExitStatus(status);
}

}  // namespace zmo::setval
