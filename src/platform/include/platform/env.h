// What a program asks of the world outside it, behind one object that tests
// replace: ending the process, the host's name and IPv4 address, starting
// another program, and the time (now, and letting time pass).
//
// Env itself is the real behaviour. A test derives from EnvWrapper, which
// hands every call on to the Env beneath it, overrides only what it needs,
// and installs the object. Installed objects stack: each installed wrapper
// hands on to the one installed before it (the real Env at the bottom), so a
// test's fake clock and its fixed host name answer together, whatever order
// they were installed in. An installed Env that is no wrapper answers
// everything itself.
//
// Two lifetimes: SetEnv installs until the next ResetEnv (which the console
// runtime's reset and the loader's reset call, so a program's test starts on
// the real world); ScopedEnv installs until the end of its scope and outlives
// those resets (a fixture's fake clock). The caller keeps ownership; an
// object must be removed (reset, or its scope ended) before it is destroyed.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace zmo {

class Env {
 public:
  Env() = default;
  virtual ~Env() = default;
  Env(const Env&) = delete;
  Env& operator=(const Env&) = delete;

  // Ends the process with code (std::exit). A replacement may return; the
  // caller then goes on as its contract says.
  virtual void Exit(int code);
  // The local host's name (LocalHostName), "" when it cannot be read.
  virtual std::string HostName();
  // The local host's IPv4 address in dotted form (LocalIPv4Address), "" when
  // there is none.
  virtual std::string IPv4Address();
  // Starts path with the argument vector argv (null-terminated) with the
  // meaning of _spawnv (process.h) for mode.
  virtual std::intptr_t Spawn(int mode, const char* path, const char* const* argv);
  // Milliseconds since 1970-01-01 00:00:00 UTC.
  virtual std::int64_t NowMillis();
  // Lets ms pass (the real Env sleeps; a test's clock advances).
  virtual void SleepMillis(std::int64_t ms);
  // True when time advances only when told: a timed wait on an event then
  // returns at once instead of waiting for real time (events.h).
  virtual bool TimeIsFake();
};

// An Env that hands every call on to its target; derive from it and override
// what a test replaces. Until it is installed the target is the one given
// (nullptr: the real Env); installed, it is the Env beneath it.
class EnvWrapper : public Env {
 public:
  explicit EnvWrapper(Env* target = nullptr);
  Env* target() const { return link_->load(); }

  void Exit(int code) override { target()->Exit(code); }
  std::string HostName() override { return target()->HostName(); }
  std::string IPv4Address() override { return target()->IPv4Address(); }
  std::intptr_t Spawn(int mode, const char* path, const char* const* argv) override {
    return target()->Spawn(mode, path, argv);
  }
  std::int64_t NowMillis() override { return target()->NowMillis(); }
  void SleepMillis(std::int64_t ms) override { target()->SleepMillis(ms); }
  bool TimeIsFake() override { return target()->TimeIsFake(); }

 private:
  friend struct EnvStack;
  Env* const own_target_;  // the target while not installed
  // The target in force. The installed stack keeps a share of it and sets it
  // there, so it never writes into a wrapper that has already ended.
  std::shared_ptr<std::atomic<Env*>> link_;
};

// The real Env; it lives as long as the process.
Env* DefaultEnv();
// The Env in force: the one installed last, else the real one.
Env& CurrentEnv();
// Installs env until the next ResetEnv (an env already installed moves to the
// top).
void SetEnv(Env* env);
// Removes every Env that SetEnv installed; those of a ScopedEnv stay.
void ResetEnv();

// Installs env for the lifetime of the object.
class ScopedEnv {
 public:
  explicit ScopedEnv(Env* env);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  Env* env_;
};

}  // namespace zmo
