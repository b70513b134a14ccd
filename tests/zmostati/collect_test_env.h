// A landscape for whole collection runs: a BinDir with the real zmogdlib.so
// and recording stand-ins for zmomsg and zmoloader, simulated SAP systems
// copied from the example landscape (plus one whose system info fails), a
// server file with scrambled passwords, and the registry values of a run.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/runtime_state.h"
#include "platform/clock.h"
#include "platform/dynlib.h"
#include "platform/files.h"
#include "rfc/simulator.h"
#include "stati_test_env.h"
#include "tz_guard.h"
#include "zmogdlib/zmogdlib.h"
#include "zmostati/collect.h"
#include "zmostati/params.h"
#include "zmostati/rfc_session.h"
#include "zmostati/state.h"

// The key the configurator scrambles the stored passwords with.
inline constexpr const char* kConfiguratorKey = "Qortane4_Brelmuskand7";

// One server of the server file.
struct TestServer {
  std::string host;
  std::string sid;
  std::string client;
  std::string sysnr;
  std::string password;  // clear; scrambled when the file is written
  std::string language = "E";
  std::string user = "ZMOMON";
};

// The example servers: four systems of the landscape, one that cannot be
// reached, one whose RFC_SYSTEM_INFO fails.
inline TestServer kT31{"sapt31.example.net", "T31", "100", "00", "init31pw"};
inline TestServer kT46{"sapt46.example.net", "T46", "100", "00", "Secret46"};
inline TestServer kT62{"/H/gw.example.net/S/3299/H/sapt62.example.net", "T62", "100", "00",
                       "Secret62!"};
inline TestServer kT70{"sapt70.example.net", "T70", "100", "00", "Secret70"};
inline TestServer kUnreachable{"sapt99.example.net", "T99", "100", "00", "Secret99"};
inline TestServer kSysInfoFails{"saptsi.example.net", "TSI", "100", "03", "SecretSI"};

// The simulated system behind kSysInfoFails.
inline constexpr const char* kSysInfoFailsSystem =
    "[logon]\nhost = saptsi.example.net\nsysnr = 03\nclient = 100\nuser = ZMOMON\n"
    "password = SecretSI\n\n[system_info]\nsysid = TSI\ndbhost = dbtsi\nrelease = 46C\n\n"
    "[function RFC_SYSTEM_INFO]\nexception = SYSTEM_FAILURE\n";

class CollectWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    bin_ = env_.Dir() + "bin/";
    sap_ = env_.Dir() + "sap";
    ASSERT_EQ(mkdir(bin_.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((bin_ + "ArchiveData").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(sap_.c_str(), 0755), 0);
    ASSERT_EQ(symlink(ZMO_TEST_BIN_DIR "/zmogdlib.so", (bin_ + "zmogdlib.so").c_str()), 0);
    WriteRecorder("zmomsg", "");
    WriteRecorder("zmoloader", "[ -f '" + bin_ +
                                   "zmostati.dat' ] && echo 'handover file present'\n"
                                   "[ -f '" +
                                   bin_ + "zmo_stati.dat' ] && echo 'collecting file present'\n");
    for (const char* name : {"T31", "T46", "T62", "T70"}) CopySystem(name);
    WriteSystem("TSI", kSysInfoFailsSystem);
    setenv(zmo::rfc::kSystemsEnv, sap_.c_str(), 1);
    zmo::rfc::SimReset();
    statiResetRfcSession();

    zmo::Runtime().host_name = [] { return std::string("collector"); };
    zmo::Runtime().ipv4_address = [] { return std::string("10.9.8.7"); };
    zmo::SetTraceSwitch(1);
    StatiTestEnv::Set("StatiDebug", "True");
    StatiTestEnv::Set("DB", "Oracle");
    StatiTestEnv::Set("BinDir", bin_);
    StatiTestEnv::Set("StatiInput", ServerFile());
    // Local time is UTC: each system's records are where its own offset
    // puts the interval.
    clock_->SetTime(LocalTime(2024, 3, 5, 13, 0));
  }
  void TearDown() override {
    zmo::rfc::SimReset();
    statiResetRfcSession();
    unsetenv(zmo::rfc::kSystemsEnv);
  }

  // A stand-in that appends "== <name>", its arguments as the program
  // received them ("[arg]" each) and what extra prints, to the children log.
  void WriteRecorder(const std::string& name, const std::string& extra) {
    const std::string script = "#!/bin/sh\n{\necho '== " + name + "'\n" +
                               "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done\n" + extra +
                               "} >> '" + env_.Dir() + "children.log'\n";
    ASSERT_EQ(zmo::WriteFileAtomic(bin_ + name, script, 0755), 0);
  }
  void CopySystem(const std::string& name, const std::string& extra = "") {
    std::string text;
    ASSERT_EQ(zmo::ReadWholeFile(std::string(ZMO_TEST_FIXTURES) + "/sap/" + name + ".sys", &text),
              0);
    WriteSystem(name, text + "\n" + extra);
  }
  void WriteSystem(const std::string& name, const std::string& text) {
    ASSERT_EQ(zmo::WriteFileAtomic(sap_ + "/" + name + ".sys", text), 0);
  }

  // The password scrambled as the configurator stores it.
  static std::string Scramble(const std::string& clear) {
    HMODULE lib = LoadLibraryA(ZMO_TEST_BIN_DIR "/zmogdlib.so");
    EXPECT_NE(lib, nullptr);
    if (lib == nullptr) return "";
    auto encrypt = reinterpret_cast<ZmoEncryptFn>(GetProcAddress(lib, "Encrypt"));
    char out[256] = {0};
    EXPECT_GT(encrypt(clear.c_str(), kConfiguratorKey, out), 0);
    FreeLibrary(lib);
    return out;
  }
  static std::string Pad(const std::string& text, size_t width) {
    std::string s = text.substr(0, width);
    s.resize(width, ' ');
    return s;
  }
  // One 183-byte record; stored is the password field as it stands.
  static std::string Record(const TestServer& s, const std::string& stored) {
    return Pad(s.host, 100) + Pad(s.user, 30) + Pad(stored, 30) + Pad(s.sid, 3) + Pad(s.client, 3) +
           Pad(s.sysnr, 2) + "000000240000" + Pad(s.language, 1) + "\r\n";
  }
  static std::string Record(const TestServer& s) { return Record(s, Scramble(s.password)); }

  std::string ServerFile() const { return bin_ + "zmoserver.dat"; }
  void WriteServers(const std::vector<TestServer>& servers, const std::string& before = "") {
    std::string data = before;
    for (const TestServer& s : servers) data += Record(s);
    ASSERT_EQ(zmo::WriteFileAtomic(ServerFile(), data), 0);
  }

  // The interval of the runs: two days around the systems' records, wide
  // enough for every system's offset.
  static void SetInterval() {
    StatiTestEnv::Fill(&statiState().current, "20240303", "120001", "20240305", "120000");
  }
  // A registry-mode run as the work loop makes it.
  int Collect() {
    statiResetRunState();
    SetInterval();
    EXPECT_EQ(statiGetDefaultAvailFileName(), 0);
    EXPECT_EQ(statiGetParaFromRegistry(), 0);
    return statiStartQuery();
  }

  // The programs started, in order: name, then arguments.
  std::vector<std::vector<std::string>> Children() const {
    std::vector<std::vector<std::string>> children;
    std::ifstream in(env_.Dir() + "children.log");
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind("== ", 0) == 0) {
        children.push_back({line.substr(3)});
      } else if (!children.empty()) {
        children.back().push_back(
            line.size() >= 2 && line.front() == '[' ? line.substr(1, line.size() - 2) : line);
      }
    }
    return children;
  }

  std::string Read(const std::string& path) const {
    std::string data;
    return zmo::ReadWholeFile(path, &data) == 0 ? data : "<none>";
  }
  // The CR LF lines of a file.
  std::vector<std::string> Lines(const std::string& path) const {
    std::vector<std::string> lines;
    const std::string data = Read(path);
    if (data == "<none>") return lines;
    size_t pos = 0;
    while (pos < data.size()) {
      size_t end = data.find("\r\n", pos);
      if (end == std::string::npos) {
        lines.push_back(data.substr(pos) + "<no CR LF>");
        break;
      }
      lines.push_back(data.substr(pos, end - pos));
      pos = end + 2;
    }
    return lines;
  }
  std::string AvailFile() const { return env_.Dir() + "zmostatiava.dat"; }
  std::string HandOverFile() const { return bin_ + "zmostati.dat"; }
  std::string CollectingFile() const { return bin_ + "zmo_stati.dat"; }

  // Records of a destination ("sapt31_T31_00") among Oracle lines.
  static int CountDestination(const std::vector<std::string>& lines, const std::string& dest) {
    int n = 0;
    for (const std::string& l : lines) {
      if (l.size() > 21 && l.compare(1, 20, Pad(dest, 20)) == 0) ++n;
    }
    return n;
  }
  // How many statistic records a simulated system file holds.
  int RecordsOf(const std::string& system) const {
    std::ifstream in(sap_ + "/" + system + ".sys");
    std::string line;
    int n = 0;
    while (std::getline(in, line)) n += line.rfind("[record ", 0) == 0 ? 1 : 0;
    return n;
  }

  // The zmomsg arguments of a message text.
  static std::vector<std::string> FirstMessage(const std::string& text) {
    return {"zmomsg", "-P", "STATI", "-M", text};
  }
  static std::vector<std::string> Message(const std::string& text) {
    return {"zmomsg", "-T", "-P", "STATI", "-M", text};
  }
  static std::vector<std::vector<std::string>> StartMessages() {
    return {FirstMessage("Monitoring for Orvane auto loader started"),
            Message("Batch run start date = 20240303"), Message("Batch run start time = 120001"),
            Message("Batch run end date = 20240305"), Message("Batch run end time = 120000")};
  }
  static std::vector<std::string> EndMessage() {
    return Message("Collection of statistic records has ended");
  }
  static std::vector<std::string> Loader(const std::vector<std::string>& extra) {
    std::vector<std::string> v{"zmoloader", "-A",       "-P", "STATI",
                               "-S",        "20240303", "-E", "20240305",
                               "-H",        "10.9.8.7", "-I", std::to_string(getpid())};
    v.insert(v.end(), extra.begin(), extra.end());
    return v;
  }

  StatiTestEnv env_;
  ScopedTz tz_{"UTC0"};
  zmo::ScopedFakeClock clock_;
  std::string bin_;
  std::string sap_;
};
