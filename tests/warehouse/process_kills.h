// Kills at random moments for the warehouse's kill tests: a collector run
// in a forked child of its own process group (so it keeps the fake clock
// and the simulated systems of the test's process), its clock's waits
// taking some real time so that kills land in them, a seeded choice of
// what to kill, and bounded waits for every process of the group.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "warehouse_test_util.h"
#include "zmo_test/files.h"

namespace warehouse_test {

// The sanitizers' options for the processes of a kill campaign: no leak
// check at exit. A SIGKILL that lands while that check holds the process's
// threads stopped can leave it waiting for ever; every other test checks
// for leaks.
inline std::string OptionsWithoutLeakCheck() {
  const char* options = std::getenv("ASAN_OPTIONS");
  return std::string(options != nullptr ? options : "") + ":detect_leaks=0";
}

// How long the processes of a killed run may take to end.
constexpr int kGroupWaitLimitMs = 60000;

// True while a process of the group is there (zombies of other parents
// included: they are gone once their parent or init reaps them).
inline bool GroupAlive(pid_t group) { return kill(-group, 0) == 0; }

// The process of the group that started last, or -1.
inline pid_t NewestOfGroup(pid_t group) {
  pid_t newest = -1;
  unsigned long long newest_start = 0;
  for (const std::string& name : zmo_test::SortedFileNames("/proc")) {
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream in("/proc/" + name + "/stat");
    std::string stat;
    std::getline(in, stat);
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    std::vector<std::string> f;
    while (fields >> field) f.push_back(field);
    // After the name: state ppid pgrp ... starttime is the 20th from here.
    if (f.size() < 20 || std::stol(f[2]) != group) continue;
    const unsigned long long start = std::stoull(f[19]);
    if (newest == -1 || start >= newest_start) {
      newest = static_cast<pid_t>(std::stol(name));
      newest_start = start;
    }
  }
  return newest;
}

// Runs body in a forked child that leads a process group of its own and
// ends with _exit(0) (no test teardown in the child). The child's pid, or
// -1.
template <class Body>
pid_t StartInGroup(Body body) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid != 0) {
    if (pid > 0) setpgid(pid, pid);
    return pid;
  }
  setpgid(0, 0);
  body();
  _exit(0);
}

// Makes each wait on the fake clock take real time too, at most max_ms, so
// that a kill can land while a collection waits for a server.
inline void WaitsTakeRealTime(zmo::ScopedFakeClock* clock, std::int64_t at, int max_ms = 50) {
  clock->clock().SetAdvanceHook([last = at, max_ms](std::int64_t now) mutable {
    std::this_thread::sleep_for(
        std::chrono::milliseconds(std::min<std::int64_t>(now - last, max_ms)));
    last = now;
  });
}

// Waits for the child and then for every process of its group.
inline void WaitForGroup(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  for (int waited = 0; GroupAlive(pid); waited += 5) {
    ASSERT_LT(waited, kGroupWaitLimitMs) << "processes of group " << pid << " did not end";
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// After wait_ms, SIGKILL to a seeded choice: the collector alone (its
// loader and batch run on), its whole process tree, or the newest process
// of the tree (a tool, the batch interpreter, the loader); then waits for
// the group.
inline void KillAfter(pid_t pid, int wait_ms, std::mt19937* random) {
  std::this_thread::sleep_for(std::chrono::milliseconds(wait_ms));
  switch (std::uniform_int_distribution<int>(0, 2)(*random)) {
    case 0:
      kill(pid, SIGKILL);
      break;
    case 1:
      kill(-pid, SIGKILL);
      break;
    default:
      if (pid_t newest = NewestOfGroup(pid); newest > 0) kill(newest, SIGKILL);
      break;
  }
  WaitForGroup(pid);
}

// Ends a warehouse backend of the database in the middle of its work, as a
// server that goes away would: the test holds an exclusive lock on table
// while start()'s process group runs, waits (bounded) until a backend of the database
// waits for that lock, terminates it and lets go of the lock; then waits
// for the group. The client of that backend sees its connection lost.
// Returns false when no backend came to wait within the bound.
inline bool TerminateBackendAt(const std::string& database, const std::string& table,
                               const std::function<pid_t()>& start) {
  PGconn* admin = ConnectAdmin(database);
  RunSql(admin, "begin");
  RunSql(admin, "lock table " + table + " in access exclusive mode");
  const pid_t pid = start();
  std::string backend;
  for (int waited = 0; waited < kGroupWaitLimitMs && backend.empty(); waited += 5) {
    // The activity view is read once per transaction unless told to forget.
    RunSql(admin, "select pg_stat_clear_snapshot()");
    const Rows rows = RunSql(admin,
                             "select pid from pg_stat_activity where datname = current_database() "
                             "and wait_event_type = 'Lock' and pid <> pg_backend_pid()");
    if (!rows.empty()) {
      backend = rows[0][0];
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  if (!backend.empty()) RunSql(admin, "select pg_terminate_backend(" + backend + ")");
  RunSql(admin, "commit");
  PQfinish(admin);
  WaitForGroup(pid);
  return !backend.empty();
}

}  // namespace warehouse_test
