#include "platform/env.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/network.h"
#include "platform/process.h"

namespace zmo {

void Env::Exit(int code) { std::exit(code); }

std::string Env::HostName() { return LocalHostName(); }

std::string Env::IPv4Address() { return LocalIPv4Address(); }

std::intptr_t Env::Spawn(int mode, const char* path, const char* const* argv) {
  return _spawnv(mode, path, argv);
}

std::int64_t Env::NowMillis() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void Env::SleepMillis(std::int64_t ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool Env::TimeIsFake() { return false; }

EnvWrapper::EnvWrapper(Env* target)
    : own_target_(target != nullptr ? target : DefaultEnv()),
      link_(std::make_shared<std::atomic<Env*>>(own_target_)) {}

Env* DefaultEnv() {
  static Env real;
  return &real;
}

// The installed Envs, bottom first. Every change points each installed
// wrapper's link at the Env beneath it and publishes the top; CurrentEnv
// reads only the top, so a thread that asks for the time never takes the
// lock. A layer keeps what it needs of its wrapper (the link, the wrapper's
// own target) from the moment it is installed, so a reset may drop layers
// whose objects have already ended without touching them.
struct EnvStack {
  struct Layer {
    Env* env;
    bool scoped;
    std::shared_ptr<std::atomic<Env*>> link;  // null: no wrapper
    Env* own_target;
  };

  std::mutex mu;
  std::vector<Layer> layers;
  std::atomic<Env*> top{nullptr};

  static EnvStack& Get() {
    static EnvStack stack;
    return stack;
  }

  // Takes out the layers that keep is false for, their wrappers handing on
  // to their own targets again. Holds mu.
  template <typename Keep>
  void RemoveIf(Keep keep) {
    std::vector<Layer> kept;
    for (Layer& l : layers) {
      if (keep(l)) {
        kept.push_back(std::move(l));
      } else if (l.link) {
        l.link->store(l.own_target);
      }
    }
    layers.swap(kept);
  }

  // Points each wrapper at the layer beneath it and publishes the top.
  // Holds mu.
  void Relink() {
    Env* beneath = DefaultEnv();
    for (const Layer& l : layers) {
      if (l.link) l.link->store(beneath);
      beneath = l.env;
    }
    top.store(layers.empty() ? nullptr : layers.back().env);
  }

  void Push(Env* env, bool scoped) {
    std::lock_guard<std::mutex> lock(mu);
    // An Env installed again moves to the top.
    RemoveIf([env](const Layer& l) { return l.env != env; });
    Layer layer{env, scoped, nullptr, nullptr};
    if (auto* w = dynamic_cast<EnvWrapper*>(env)) {
      layer.link = w->link_;
      layer.own_target = w->own_target_;
    }
    layers.push_back(std::move(layer));
    Relink();
  }

  void Pop(Env* env) {
    std::lock_guard<std::mutex> lock(mu);
    RemoveIf([env](const Layer& l) { return l.env != env; });
    Relink();
  }

  void RemoveUnscoped() {
    std::lock_guard<std::mutex> lock(mu);
    RemoveIf([](const Layer& l) { return l.scoped; });
    Relink();
  }
};

Env& CurrentEnv() {
  Env* env = EnvStack::Get().top.load();
  return env != nullptr ? *env : *DefaultEnv();
}

void SetEnv(Env* env) { EnvStack::Get().Push(env, false); }

void ResetEnv() { EnvStack::Get().RemoveUnscoped(); }

ScopedEnv::ScopedEnv(Env* env) : env_(env) { EnvStack::Get().Push(env, true); }

ScopedEnv::~ScopedEnv() { EnvStack::Get().Pop(env_); }

}  // namespace zmo
