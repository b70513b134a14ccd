// The landscape: every system file of one directory.
#include "landscape.h"

#include <dirent.h>
#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/files.h"

namespace zmo::rfc {

const std::vector<std::string>& ServedFunctions() {
  static const std::vector<std::string> kNames = {"RFC_SYSTEM_INFO",
                                                  "SAPWL_STATREC_READ_FILE",
                                                  "SXMI_LOGON",
                                                  "SXMI_XMB_USER_LIST_READ",
                                                  "SXMI_LOGOFF",
                                                  "RFC_FUNCTION_SEARCH",
                                                  "J_8C1_GET_DB_LOG_DEST",
                                                  "FILL_SNAPSHOT_DATA"};
  return kNames;
}

bool IsServedFunction(const std::string& upper_name) {
  const auto& names = ServedFunctions();
  return std::find(names.begin(), names.end(), upper_name) != names.end();
}

const FunctionBehaviour& SimSystem::Behaviour(const std::string& function) const {
  static const FunctionBehaviour kDefault;
  static const FunctionBehaviour kAbsent = [] {
    FunctionBehaviour b;
    b.absent = true;
    return b;
  }();
  // The database-host destination exists only where the file names one.
  if (function == "J_8C1_GET_DB_LOG_DEST" && !has_db_host) return kAbsent;
  if (!IsServedFunction(function)) return kAbsent;
  auto it = functions.find(function);
  return it == functions.end() ? kDefault : it->second;
}

const SimSystem* Landscape::Find(const std::string& host, int sysnr) const {
  for (const SimSystem& s : systems) {
    if (s.sysnr == sysnr && strcasecmp(s.host.c_str(), host.c_str()) == 0) return &s;
  }
  return nullptr;
}

int LoadLandscape(const std::string& dir, Landscape* out, std::string* error) {
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) {
    *error = "cannot read the system directory " + dir + ": " + std::strerror(errno);
    return -1;
  }
  std::vector<std::string> names;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".sys") == 0) names.push_back(name);
  }
  closedir(d);
  std::sort(names.begin(), names.end());
  Landscape land;
  land.dir = dir;
  for (const std::string& name : names) {
    SimSystem sys;
    if (LoadSystemFile(JoinPath(dir, name), &sys, error) != 0) return -1;
    if (const SimSystem* other = land.Find(sys.host, sys.sysnr)) {
      *error = sys.file + ": host " + sys.host + " system number " + std::to_string(sys.sysnr) +
               " is already described by " + other->file;
      return -1;
    }
    land.systems.push_back(std::move(sys));
  }
  std::string faults = JoinPath(dir, "library.conf");
  if (FileExists(faults.c_str()) && LoadLibraryFaults(faults, &land.faults, error) != 0) return -1;
  *out = std::move(land);
  return 0;
}

}  // namespace zmo::rfc
