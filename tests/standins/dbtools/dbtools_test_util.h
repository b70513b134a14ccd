// Test support for the tool stand-ins: a temporary directory with the call
// log in it, a run of a tool in this process with its standard output and
// error caught, and the text of files the loader would write.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "../../platform/batch_test_util.h"
#include "dbtools/dbtools.h"
#include "platform/command_line.h"
#include "platform/files.h"

namespace dbtools_test {

using zmo_test::TempDir;
inline std::string Read(const std::string& path) { return zmo_test::ReadFile(path); }
inline void Write(const std::string& path, const std::string& data) {
  zmo_test::WriteFile(path, data);
}
inline std::string Crlf(const std::vector<std::string>& lines) {
  return zmo_test::CrlfLines(lines);
}

// The table key of the tests' staging tables.
const std::string kKey = "01002003004000153";

// A data line of n comma-separated fields, a time stamp among them.
inline std::string Row(size_t n) {
  std::string row = "RFC_01";
  for (size_t i = 1; i < n; ++i) row += i == 5 ? ",2004-01-10 15:30:00" : ",      42";
  return row;
}

// One field of an Oracle control file: name, columns, type text.
struct Field {
  std::string name;
  int from, to;
  std::string type;  // "Char(8)" or "Date \"YYYYMMDDHH24MISS\""
};

// A control file as the loader writes it: the name padded to 17 characters
// (the first one's "(" inside them), the position to 20.
inline std::string ControlText(const std::string& infile, const std::string& bad,
                               const std::string& discard, const std::string& table,
                               const std::vector<Field>& fields) {
  std::vector<std::string> lines = {"Load Data",
                                    "infile '" + infile + "'",
                                    "badfile '" + bad + "'",
                                    "discardfile '" + discard + "' discardmax 9999",
                                    "truncate",
                                    "PRESERVE BLANKS",
                                    "into table " + table};
  for (size_t i = 0; i < fields.size(); ++i) {
    const Field& f = fields[i];
    char line[256];
    std::string name = (i == 0 ? "(" : "") + f.name;
    std::string pos = "POSITION(" + std::to_string(f.from) + ":" + std::to_string(f.to) + ")";
    std::snprintf(line, sizeof(line), "%-17s%-20s%s%s", name.c_str(), pos.c_str(), f.type.c_str(),
                  i + 1 == fields.size() ? ")" : ",");
    lines.push_back(line);
  }
  return Crlf(lines);
}

class ToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.ok());
    setenv(zmo::dbtools::kCallLogEnv, calls_.c_str(), 1);
    unsetenv(zmo::dbtools::kFailEnv);
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
    old_cwd_ = cwd;
  }
  void TearDown() override {
    unsetenv(zmo::dbtools::kCallLogEnv);
    unsetenv(zmo::dbtools::kFailEnv);
    ASSERT_EQ(chdir(old_cwd_.c_str()), 0);
  }

  // Runs the tool in this process; its standard output and error land in
  // Stdout() and Stderr().
  int Run(const std::string& tool, const std::vector<std::string>& args) {
    std::vector<std::string> argv_strings{tool};
    argv_strings.insert(argv_strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : argv_strings) argv.push_back(s.data());
    argv.push_back(nullptr);
    return zmo_test::WithOutputIn(out_, err_, [&] {
      return zmo::dbtools::dbtoolMain(tool.c_str(), static_cast<int>(argv.size() - 1), argv.data());
    });
  }

  // The calls recorded, each split back into its elements.
  std::vector<std::vector<std::string>> Calls() {
    std::vector<std::vector<std::string>> out;
    std::string data = Read(calls_);
    if (data == "<missing>") return out;
    size_t start = 0;
    while (start < data.size()) {
      size_t nl = data.find('\n', start);
      out.push_back(zmo::SplitCommandLine(data.substr(start, nl - start)));
      start = nl + 1;
    }
    return out;
  }

  std::string File(const std::string& name) const { return tmp_.path() + "/" + name; }
  std::string Stdout() { return Read(out_); }
  std::string Stderr() { return Read(err_); }

  TempDir tmp_{"zmo_dbtools"};
  const std::string dir_ = tmp_.path();
  const std::string calls_ = File("calls.log");
  const std::string out_ = File("stdout.txt");
  const std::string err_ = File("stderr.txt");
  std::string old_cwd_;
};

}  // namespace dbtools_test
