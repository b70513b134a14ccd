// The host a test's program runs on, through the Env (platform/env.h).
#pragma once

#include <string>
#include <utility>

#include "platform/env.h"

namespace zmo_test {

// An Env that answers with a fixed host name and IPv4 address (either may
// be empty); everything else is the real behaviour.
class HostEnv : public zmo::EnvWrapper {
 public:
  HostEnv() = default;
  HostEnv(std::string host, std::string address) { Set(std::move(host), std::move(address)); }
  void Set(std::string host, std::string address) {
    host_ = std::move(host);
    address_ = std::move(address);
  }
  std::string HostName() override { return host_; }
  std::string IPv4Address() override { return address_; }

 private:
  std::string host_;
  std::string address_;
};

// Installs a host named host at address until the Env is reset (the
// collectors' tests run on "collector" at 10.9.8.7). The object lives as
// long as the process.
inline void UseHost(std::string host = "collector", std::string address = "10.9.8.7") {
  static HostEnv env;
  env.Set(std::move(host), std::move(address));
  zmo::SetEnv(&env);
}

}  // namespace zmo_test
