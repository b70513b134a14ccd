// Facts of the local machine the collectors need: their IPv4 address for the
// loader's table key, the local offset to UTC, and file sizes.
#pragma once

#include <cstdint>

namespace zmo {

// Size of the dotted-address buffer myIPaddress fills, NUL included.
constexpr int kIpAddressSize = 16;
// The address written when the host's own cannot be had.
constexpr const char* kLoopbackAddress = "127.0.0.1";

// Writes the dotted IPv4 address of this host into out (kIpAddressSize
// bytes). When the host name or its IPv4 address cannot be had, writes
// kLoopbackAddress and traces why; out is never left empty.
void myIPaddress(char* out);

// Sets the UTC offset (local time minus UTC, in seconds) to the one in force
// now, daylight saving included, and traces it in minutes. Returns 0.
int getTotalLocalOffsetUTC();
// The offset the last getTotalLocalOffsetUTC set.
int LocalOffsetUTC();

// Size of the file at path into *size (64-bit). Returns 0, or 1 with a trace
// line when path or size is missing or the file cannot be read.
int getFileSize(const char* path, std::int64_t* size);

}  // namespace zmo
