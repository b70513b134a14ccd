// One run of zmomsg: the text from the catalog or the command line, one line
// appended to the summary log of the calling program.
#include <cstdlib>

#include "platform/files.h"
#include "zmogdlib/config_key.h"
#include "zmomsg/zmomsg.h"

namespace zmo::msg {

namespace {

// The catalog number as atoi reads it, kept within an int.
int catalogId(const char* number) {
  long long id = std::strtoll(number, nullptr, 10);
  if (id < 0 || id > 0x7fffffff) return 0;  // no catalog text has such an id
  return static_cast<int>(id);
}

}  // namespace

int zmomsgMain(int argc, char** argv) {
  if (argc <= 1) {
    zmomsgUsage();
    return 1;
  }
  zmomsgReset();
  ZmomsgState& st = zmomsgState();
  zmomsgScanArgs(argc, argv);
  zmomsgCatalogMessage(catalogId(st.number));

  // Nothing to write to: no BinDir, or a -p that names no log. The callers
  // never read the exit code, so these end quietly with 0.
  std::optional<std::string> bin_dir = readRegString(zmo::cfg::kBinDir);
  if (!bin_dir || bin_dir->empty()) return 0;
  const SummaryLog* log = summaryLogFor(st.program);
  if (log == nullptr) return 0;
  st.log_path = zmo::JoinPath(*bin_dir, log->log_name);
  st.old_path = zmo::JoinPath(*bin_dir, log->old_name);

  rollMsgLog(log);
  writeMsgLine(st.log_path.c_str(), st.tab, st.message);
  return 0;
}

}  // namespace zmo::msg
