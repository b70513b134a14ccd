#include "common/system_info.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace zmo {

void myIPaddress(char* out) {
  Env& env = CurrentEnv();
  std::string host = env.HostName();
  if (Runtime().program.trace_host_name) writeTrace("local hostname=%s\n", host.c_str());
  std::string address = host.empty() ? std::string() : env.IPv4Address();
  // The address travels on as text into a fixed buffer; anything that is not
  // a dotted IPv4 address counts as none.
  if (address.empty() || address.size() >= static_cast<size_t>(kIpAddressSize)) {
    writeTrace("myIPaddress() no IPv4 address for host <%s>, using <%s>\n", host.c_str(),
               kLoopbackAddress);
    address = kLoopbackAddress;
  }
  std::snprintf(out, kIpAddressSize, "%s", address.c_str());
  writeTrace("myIPaddress() returned IP address <%s>\n", out);
}

int getTotalLocalOffsetUTC() {
  // The offset in force at this moment, so that a summer query is not shifted
  // by the hour of daylight saving.
  std::tm local = ClockLocalTime(ClockNow());
  int offset = static_cast<int>(local.tm_gmtoff);
  Runtime().utc_offset = offset;
  writeTrace("Total local offset to UTC is <%i> min\n", offset / 60);
  return 0;
}

int LocalOffsetUTC() { return Runtime().utc_offset; }

int getFileSize(const char* path, std::int64_t* size) {
  if (path == nullptr) {
    writeTrace("getFileSize(): internal error 1\n");
    return 1;
  }
  if (size == nullptr) {
    writeTrace("getFileSize(): internal error 2\n");
    return 1;
  }
  std::int64_t n = FileSize64(path);
  if (n < 0) {
    int err = errno;
    writeTrace("getFileSize(): _stat() failed with <%i> (%s)\n", -1, std::strerror(err));
    return 1;
  }
  *size = n;
  return 0;
}

}  // namespace zmo
