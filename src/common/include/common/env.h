// What a console program asks of the world outside it, behind one object
// that tests replace: ending the process, the host's name and IPv4 address,
// and starting another program.
//
// Env itself is the real behaviour. A test derives from EnvWrapper, which
// hands every call on to a target (the real Env unless told otherwise), and
// overrides only what it needs, then installs its object with SetEnv. The
// pointer in force is one for the whole process, kept with the console
// runtime (runtime_state.h): ResetConsoleRuntime, and the loader's reset,
// put the real Env back. The caller of SetEnv keeps ownership.
//
// The time is not asked here: the one clock of the system is the platform's
// (platform/clock.h), of the same shape (the real clock, a FakeClock that
// tests install), because the platform's own waits and the stand-ins below
// this runtime read it too.
#pragma once

#include <cstdint>
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
  // meaning of _spawnv (platform/process.h) for mode.
  virtual std::intptr_t Spawn(int mode, const char* path, const char* const* argv);
};

// An Env that hands every call on to target; derive from it and override
// what a test replaces.
class EnvWrapper : public Env {
 public:
  explicit EnvWrapper(Env* target = nullptr);
  Env* target() const { return target_; }

  void Exit(int code) override { target_->Exit(code); }
  std::string HostName() override { return target_->HostName(); }
  std::string IPv4Address() override { return target_->IPv4Address(); }
  std::intptr_t Spawn(int mode, const char* path, const char* const* argv) override {
    return target_->Spawn(mode, path, argv);
  }

 private:
  Env* target_;
};

// The real Env; it lives as long as the process.
Env* DefaultEnv();
// The Env in force: the one a test installed, else the real one.
Env& CurrentEnv();
// Installs env (nullptr puts the real one back).
void SetEnv(Env* env);

}  // namespace zmo
