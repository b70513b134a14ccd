// What the special-run tests share: the launcher's machine answered by
// script, and a server-file record of a host and instance.
#pragma once

#include <string>
#include <vector>

#include "zmoconfig/record_codec.h"
#include "zmoconfig/special_run.h"

namespace zmoconfig_test {

using namespace zmo::config;

// What the launcher asked of the machine, answered by script. Installed
// for its lifetime.
class FakeSpecRunServices : public SpecRunServices {
 public:
  FakeSpecRunServices() { SetSpecRunServices(this); }
  ~FakeSpecRunServices() override { SetSpecRunServices(nullptr); }
  FakeSpecRunServices(const FakeSpecRunServices&) = delete;
  FakeSpecRunServices& operator=(const FakeSpecRunServices&) = delete;

  int StartProgram(const std::string& program, const std::vector<std::string>& argv) override {
    started.push_back(argv);
    programs.push_back(program);
    return start_error;
  }
  int WindowTitles(std::vector<std::string>* out) override {
    if (desktop) return SpecRunServices::WindowTitles(out);
    *out = titles;
    return 0;
  }
  std::vector<std::vector<std::string>> started;
  std::vector<std::string> programs;
  int start_error = 0;
  std::vector<std::string> titles;
  bool desktop = false;  // the machine's window walk instead of titles
};

// The 183-byte record of a server collected all day.
inline std::string SpecRunRecord(const std::string& host, const std::string& sysnr) {
  ServerRow row;
  row[kSrvHost] = host;
  row[kSrvUser] = "collector";
  row[kSrvPassword] = "scrambled";
  row[kSrvSid] = "C11";
  row[kSrvClient] = "001";
  row[kSrvSysnr] = sysnr;
  row[kSrvWindowStart] = "000000";
  row[kSrvWindowEnd] = "240000";
  row[kSrvLanguage] = "E";
  return EncodeServerRecord(row);
}

}  // namespace zmoconfig_test
