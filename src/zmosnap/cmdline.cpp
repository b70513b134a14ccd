#include "zmosnap/cmdline.h"

#include <cstdlib>
#include <cstring>
#include <iterator>

#include "common/db_kind.h"
#include "common/trace_log.h"

namespace zmo::snap {

namespace {

int Refuse(const char* why, const char* what) {
  zmo::SetTraceSwitch(true);
  zmo::writeTrace("snapCmdLineRun() %s <%s>\n", why, what);
  return 1;
}

}  // namespace

int snapParseCmdLine(int argc, char** argv, SnapCmdLine* out) {
  *out = SnapCmdLine();
  for (int i = 2; i < argc; ++i) {
    const char* opt = argv[i];
    if (std::strcmp(opt, "-d") == 0) {
      out->debug = true;
      continue;
    }
    std::string* target = nullptr;
    const bool known = std::strcmp(opt, "-dbtype") == 0 || std::strcmp(opt, "-i") == 0;
    if (std::strcmp(opt, "-u") == 0) target = &out->server.user;
    if (std::strcmp(opt, "-p") == 0) target = &out->password;
    if (std::strcmp(opt, "-c") == 0) target = &out->server.client;
    if (std::strcmp(opt, "-l") == 0) target = &out->server.language;
    if (std::strcmp(opt, "-r") == 0) target = &out->server.host;
    if (std::strcmp(opt, "-s") == 0) target = &out->server.sid;
    if (std::strcmp(opt, "-if") == 0) target = &out->inFile;
    if (target == nullptr && !known) continue;  // skipped by itself
    if (i + 1 >= argc) return Refuse("option without its value", opt);
    const char* value = argv[++i];
    if (target != nullptr) {
      *target = value;
    } else if (std::strcmp(opt, "-i") == 0) {
      out->server.sysnr = std::atoi(value);
    } else {
      out->dbKind = zmo::dbKindFromLowerName(value);
      if (out->dbKind == zmo::DbKind::kNone) return Refuse("unknown db type", value);
    }
  }
  if (out->dbKind == zmo::DbKind::kNone) return Refuse("missing option", "-dbtype");
  return 0;
}

}  // namespace zmo::snap
