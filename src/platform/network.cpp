#include "platform/network.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace zmo {

std::string LocalHostName() {
  char name[256];
  if (gethostname(name, sizeof(name)) != 0) return std::string();
  name[sizeof(name) - 1] = '\0';  // a cut name need not be terminated
  return std::string(name);
}

std::string LocalIPv4Address() {
  std::string host = LocalHostName();
  if (host.empty()) return std::string();

  // IPv4 only: the address goes into the loader's table key, which has room
  // for four numbers and no more.
  addrinfo hints;
  std::memset(&hints, 0, sizeof(hints));
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* result = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &result) != 0 || result == nullptr) {
    return std::string();
  }

  std::string address;
  for (addrinfo* ai = result; ai != nullptr; ai = ai->ai_next) {
    if (ai->ai_family != AF_INET || ai->ai_addr == nullptr) continue;
    const auto* in = reinterpret_cast<const sockaddr_in*>(ai->ai_addr);
    char text[INET_ADDRSTRLEN];
    if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof(text)) != nullptr) {
      address = text;
      break;
    }
  }
  freeaddrinfo(result);
  return address;
}

}  // namespace zmo
