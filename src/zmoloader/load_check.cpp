#include "zmoloader/load_check.h"

#include <cinttypes>
#include <cstdio>

#include "lines.h"
#include "platform/files.h"
#include "zmoloader/load_files.h"
#include "zmoloader/state.h"

namespace zmo::loader {

const char* loadCheckScript() {
  const int prog = loaderState().prog == kProgramSnap ? kProgramSnap : kProgramStati;
  return loaderProgramInfo(prog)->check_script;
}

std::string loadTag(const std::string& path) {
  std::string data;
  if (zmo::ReadWholeFile(path, &data) != 0 || data.empty()) return "";
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : data) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  char tag[64];
  std::snprintf(tag, sizeof tag, "%zx-%016" PRIx64, data.size(), hash);
  return tag;
}

std::vector<std::string> loadTags(const std::vector<std::string>& paths) {
  std::vector<std::string> tags;
  for (const std::string& path : paths) {
    std::string tag = loadTag(path);
    if (!tag.empty()) tags.push_back(tag);
  }
  return tags;
}

std::string loadDoneInsert(const std::string& tag) {
  return std::string("insert into ") + kLoadDoneTable + " (load_tag) values ('" + tag + "')";
}

int writeLoadCheckScript(const std::vector<std::string>& tags) {
  std::string list;
  for (const std::string& tag : tags) list += (list.empty() ? "'" : ", '") + tag + "'";
  // The query's answer becomes the exit code; until it has answered, and
  // when it fails, the code is a failure.
  const std::string loaded = std::to_string(kLoadCheckLoaded);
  const Lines lines = {"whenever sqlerror exit failure rollback", "define zmo_loaded = 1",
                       "column loaded new_value zmo_loaded noprint",
                       "select case when count(*) > 0 then " + loaded + " else 0 end loaded from " +
                           kLoadDoneTable + " where load_tag in (" + list + ");",
                       "exit &zmo_loaded"};
  return writeLoaderFile(binPath(loadCheckScript()), lines);
}

}  // namespace zmo::loader
