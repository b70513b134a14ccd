// Test support for the batch interpreter: a temporary directory with a bin
// directory first on PATH, probe programs under any name, batch files
// written with CR LF, and a run of the interpreter with its standard output
// and error caught in files.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "helpers/test_files.h"
#include "platform/batch.h"
#include "platform/files.h"
#include "zmo_test/files.h"

namespace zmo_test {

const std::string kBatchProbe = std::string(ZMO_TEST_BIN_DIR) + "/zmo_test_batch_probe";

// A file's bytes, or "<missing>".
inline std::string ReadFile(const std::string& path) { return FileText(path, "<missing>"); }

// The lines joined with CR LF, as the loader writes a batch.
inline std::string CrlfLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

// Runs fn with standard output and error sent to the files out and err
// (created anew) and returns what fn returns.
template <typename Fn>
int WithOutputIn(const std::string& out, const std::string& err, Fn fn) {
  std::fflush(stdout);
  std::fflush(stderr);
  int saved_out = dup(1), saved_err = dup(2);
  int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  dup2(out_fd, 1);
  dup2(err_fd, 2);
  close(out_fd);
  close(err_fd);
  int result = fn();
  dup2(saved_out, 1);
  dup2(saved_err, 2);
  close(saved_out);
  close(saved_err);
  return result;
}

class BatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.ok());
    ASSERT_EQ(mkdir(bin_.c_str(), 0755), 0);
    const char* path = std::getenv("PATH");
    old_path_ = path ? path : "";
    // zmobatch is found in the build's bin directory, after the test's own.
    setenv("PATH", (bin_ + ":" + ZMO_TEST_BIN_DIR).c_str(), 1);
    setenv("ZMO_WINDOWS", tmp_.File("windows").c_str(), 1);
    setenv("BATCH_PROBE_LOG", calls_.c_str(), 1);
    unsetenv(zmo::kBatchTraceEnv);
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
    old_cwd_ = cwd;
  }
  void TearDown() override {
    setenv("PATH", old_path_.c_str(), 1);
    unsetenv("ZMO_WINDOWS");
    unsetenv("BATCH_PROBE_LOG");
    unsetenv(zmo::kBatchTraceEnv);
    ASSERT_EQ(chdir(old_cwd_.c_str()), 0);
  }

  // A probe program called name in the test's bin directory.
  void Tool(const std::string& name) {
    ASSERT_EQ(symlink(kBatchProbe.c_str(), (bin_ + "/" + name).c_str()), 0) << name;
  }

  // Writes the lines as a batch file in the temp dir and returns its path.
  std::string Batch(const std::vector<std::string>& lines, const std::string& name = "job.bat") {
    std::string path = tmp_.File(name);
    WriteFile(path, CrlfLines(lines));
    return path;
  }

  // Runs the batch in this process; returns its exit code (-1000 when it
  // could not be read). Standard output and error land in out_ and err_.
  int Run(const std::string& path) {
    return WithOutputIn(out_, err_, [&] {
      int code = -1;
      return zmo::RunBatchFile(path, &code) == 0 ? code : -1000;
    });
  }
  int RunLines(const std::vector<std::string>& lines) { return Run(Batch(lines)); }

  // What the probes were called with, one line per call.
  std::vector<std::string> Calls() { return LinesWith(calls_, ""); }
  std::string Stdout() { return ReadFile(out_); }
  std::string Stderr() { return ReadFile(err_); }
  std::string File(const std::string& name) { return tmp_.File(name); }

  TempDir tmp_{"zmo_batch"};
  const std::string dir_ = tmp_.path();
  const std::string bin_ = tmp_.File("bin");
  const std::string calls_ = tmp_.File("calls.log");
  const std::string out_ = tmp_.File("stdout.txt");
  const std::string err_ = tmp_.File("stderr.txt");
  std::string old_path_;
  std::string old_cwd_;
};

}  // namespace zmo_test
