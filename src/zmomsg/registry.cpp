// The configuration values zmomsg reads: BinDir and the size limit of a log.
#include <string>

#include "common/config_table.h"
#include "zmomsg/zmomsg.h"

std::optional<std::string> readRegString(const char* name) {
  // Read quietly: without the key or the value there is nothing to write.
  std::string text;
  if (zmo::readConfigValue(zmo::quietConfigRow(name), zmo::ConfigReader{}, &text) != 0) {
    return std::nullopt;
  }
  return text;
}
