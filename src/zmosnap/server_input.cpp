// The application-server file of a cycle, read whole into memory.

#include <string>

#include "common/config_table.h"
#include "common/config_values.h"
#include "common/data_files.h"
#include "common/runtime_state.h"
#include "common/server_file.h"
#include "common/trace_log.h"
#include "platform/files.h"
#include "zmogdlib/config_key.h"
#include "zmosnap/config.h"
#include "zmosnap/config_rows.h"
#include "zmosnap/state.h"

namespace zmo::snap {

namespace {

// Reads the file the settings name: 0, 4, 5 or 6 as openInFile.
int ReadNamedFile() {
  SnapState& st = snapState();
  const char* name = st.settings.serverFile.c_str();
  switch (zmo::readServerFile(name, &st.inBuffer)) {
    case 0:
      return 0;
    case zmo::kServerFileNoOpen:
      zmo::writeTrace("failed to open input file\n");
      return kSnapInFileNoOpen;
    case zmo::kServerFileNoSize:
      return kSnapInFileNoSize;
    default:
      zmo::writeTrace("read of input file <%s> failed\n", name);
      return kSnapInFileReadFailed;
  }
}

}  // namespace

int openInFile() {
  SnapSettings& s = snapState().settings;
  s.serverFile.clear();
  zmo::ConfigKey key;
  if (!key.Open()) return zmo::kConfigKeyNotOpened;
  std::string name;
  const zmo::ConfigReader reader = {.trace = zmo::writeTrace};
  const int rc = zmo::readConfigValue(key.get(), kSnapInputRow, reader, &name);
  if (rc != 0) return rc;
  s.serverFile = name;
  zmo::writeTrace("name of input file is <%s>\n", name.c_str());
  return ReadNamedFile();
}

int openDefaultInFile() {
  SnapSettings& s = snapState().settings;
  s.serverFile = zmo::JoinPath(zmo::ProgramDir(), zmo::kServerFileName);
  zmo::writeTrace("name of fallback input file is <%s>\n", s.serverFile.c_str());
  return ReadNamedFile();
}

void closeInFile() { std::string().swap(snapState().inBuffer); }

}  // namespace zmo::snap
