#include "zmoconfig/config_state.h"

namespace zmo::config {

std::string gBinDir;
std::string gServerFile;
std::vector<ServerRow> gServers(1);
std::int16_t gServerCount = 0;
std::vector<GroupRow> gAppGroups(1);
std::int16_t gAppGroupCount = 0;
std::vector<GroupRow> gTransGroups(1);
std::int16_t gTransGroupCount = 0;
std::string gCorvaInstance;
bool gServerFileLoaded = true;

void ResetConfigState() {
  gBinDir.clear();
  gServerFile.clear();
  gServers.assign(1, ServerRow{});
  gServerCount = 0;
  gAppGroups.assign(1, GroupRow{});
  gAppGroupCount = 0;
  gTransGroups.assign(1, GroupRow{});
  gTransGroupCount = 0;
  gCorvaInstance.clear();
  gServerFileLoaded = true;
}

}  // namespace zmo::config
