#include "common/env.h"

#include <cstdlib>

#include "common/runtime_state.h"
#include "platform/network.h"
#include "platform/process.h"

namespace zmo {

void Env::Exit(int code) { std::exit(code); }

std::string Env::HostName() { return LocalHostName(); }

std::string Env::IPv4Address() { return LocalIPv4Address(); }

std::intptr_t Env::Spawn(int mode, const char* path, const char* const* argv) {
  return _spawnv(mode, path, argv);
}

EnvWrapper::EnvWrapper(Env* target) : target_(target != nullptr ? target : DefaultEnv()) {}

Env* DefaultEnv() {
  static Env real;
  return &real;
}

Env& CurrentEnv() {
  Env* env = Runtime().env;
  return env != nullptr ? *env : *DefaultEnv();
}

void SetEnv(Env* env) { Runtime().env = env; }

}  // namespace zmo
