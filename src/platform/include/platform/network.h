// The local host's name and IPv4 address.
#pragma once

#include <string>

namespace zmo {
// Host name of this machine, or "" when it cannot be had.
std::string LocalHostName();
// Dotted IPv4 address of this host name (IPv4 asked for only), or "" on failure.
std::string LocalIPv4Address();
}  // namespace zmo
