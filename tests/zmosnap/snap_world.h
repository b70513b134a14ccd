// A landscape for whole zmosnap cycles: a BinDir with the real zmogdlib.so,
// an ArchiveData directory and recording stand-ins for zmomsg and zmoloader,
// simulated SAP systems copied from the example landscape or made for one
// failure each, a server file with scrambled passwords, and the registry
// values of a cycle.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "platform/dynlib.h"
#include "platform/files.h"
#include "rfc/simulator.h"
#include "snap_test_env.h"
#include "zmo_test/scoped.h"
#include "zmogdlib/zmogdlib.h"
#include "zmosnap/config.h"
#include "zmosnap/entry.h"
#include "zmosnap/state.h"

// The key the configurator scrambles the stored passwords with.
inline constexpr const char* kConfiguratorKey = "Qortane4_Brelmuskand7";

// One server of the server file.
struct TestServer {
  std::string host;
  std::string sid;
  std::string sysnr;
  std::string password;  // clear; scrambled when the file is written
  std::string client = "100";
  std::string language = "E";
  std::string user = "ZMOMON";
  // The RFC destination its records carry: short host, SID, number.
  std::string Destination() const {
    const std::string h = host.substr(host.rfind('/') + 1);
    return h.substr(0, h.find('.')) + "_" + sid + "_" + sysnr;
  }
  std::string DbDestination() const {
    const std::string h = host.substr(host.rfind('/') + 1);
    return h.substr(0, h.find('.')) + "_" + sid + "_DB";
  }
};

// Servers of the example landscape.
inline const TestServer kT46{"sapt46.example.net", "T46", "00", "Secret46"};
inline const TestServer kT4D{"sapt4d.example.net", "T4D", "10", "Secret4D", "800"};
inline const TestServer kT62{"/H/gw.example.net/S/3299/H/sapt62.example.net", "T62", "00",
                             "Secret62!"};
// A second application server of system T46.
inline const TestServer kT46b{"sapt46b.example.net", "T46", "01", "Secret46"};

// A system that answers everything (one CPU, disk and LAN line of its own
// and, with dbHost, of its database host), with extra sections to make one
// call fail.
inline std::string MadeSystem(const TestServer& s, const std::string& extra, bool dbHost = true) {
  std::string text = "[logon]\nhost = " + s.host + "\nsysnr = " + s.sysnr + "\nclient = " +
                     s.client + "\nuser = " + s.user + "\npassword = " + s.password +
                     "\n\n[system_info]\nsysid = " + s.sid + "\ndbhost = db" + s.sid +
                     "\nrelease = 46C\n\n[xmi]\nusers = 3\nsessions = 5\n\n"
                     "[cpu app]\nNBR_CPU = 2\n\n[mem app]\nFREE_MEM = 100\n\n"
                     "[disk app]\nDISKNAME = sda\n\n[lan app]\nLANNAME = eth0\n\n";
  if (dbHost) {
    text += "[database_host]\ndestination = DB_" + s.sid +
            "\n\n[cpu db]\nNBR_CPU = 4\n\n[mem db]\nFREE_MEM = 200\n\n"
            "[disk db]\nDISKNAME = sdb\n\n[lan db]\nLANNAME = eth1\n\n";
  }
  return text + extra;
}

class SnapWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    bin_ = env_.Dir() + "bin/";
    sap_ = env_.Dir() + "sap";
    ASSERT_EQ(mkdir(bin_.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((bin_ + "ArchiveData").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(sap_.c_str(), 0755), 0);
    ASSERT_EQ(symlink(ZMO_TEST_BIN_DIR "/zmogdlib.so", (bin_ + "zmogdlib.so").c_str()), 0);
    WriteRecorder("zmomsg", "");
    // The loader tells which of the four hand-over files it found.
    std::string present;
    for (const char* f : {"zmoavai.dat", "zmosnap.cpu", "zmosnap.dsk", "zmosnap.lan"}) {
      present += "[ -f '" + bin_ + f + "' ] && echo 'found " + f + "'\n";
    }
    WriteRecorder("zmoloader", present);
    for (const char* name : {"T46", "T4D", "T62"}) CopySystem(name);
    setenv(zmo::rfc::kSystemsEnv, sap_.c_str(), 1);
    zmo::rfc::SimReset();

    zmo::Runtime().host_name = [] { return std::string("collector"); };
    zmo::Runtime().ipv4_address = [] { return std::string("10.9.8.7"); };
    zmo::SetTraceSwitch(1);
    SnapTestEnv::Set("SnapDebug", "True");
    SnapTestEnv::Set("DB", "Oracle");
    SnapTestEnv::Set("BinDir", bin_);
    SnapTestEnv::Set("SnapInput", ServerFile());
    SnapTestEnv::Set("SnapRunDays", "127");
    SnapTestEnv::Set("SnapSleepTime", "600");
    SnapTestEnv::SetAllSwitches("True");
    // 7 December 2006, 15:30 local time (UTC).
    clock_->SetMillis(LocalMillis(2006, 12, 7, 15, 30));
  }
  void TearDown() override {
    zmo::rfc::SimReset();
    unsetenv(zmo::rfc::kSystemsEnv);
  }

  // A stand-in that appends "== <name>", its arguments as the program
  // received them ("[arg]" each) and what extra prints, to children.log.
  void WriteRecorder(const std::string& name, const std::string& extra) {
    const std::string script = "#!/bin/sh\n{\necho '== " + name + "'\n" +
                               "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done\n" + extra +
                               "} >> '" + env_.Dir() + "children.log'\n";
    ASSERT_EQ(zmo::WriteFileAtomic(bin_ + name, script, 0755), 0);
  }
  void CopySystem(const std::string& name) {
    std::string text;
    ASSERT_EQ(zmo::ReadWholeFile(std::string(ZMO_TEST_FIXTURES) + "/sap/" + name + ".sys", &text),
              0);
    WriteSystem(name, text);
  }
  void WriteSystem(const std::string& name, const std::string& text) {
    ASSERT_EQ(zmo::WriteFileAtomic(sap_ + "/" + name + ".sys", text), 0);
    zmo::rfc::SimReset();
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
    return Pad(s.host, 100) + Pad(s.user, 30) + Pad(stored, 30) + Pad(s.sid, 3) +
           Pad(s.client, 3) + Pad(s.sysnr, 2) + "000000240000" + Pad(s.language, 1) + "\r\n";
  }
  static std::string Record(const TestServer& s) { return Record(s, Scramble(s.password)); }

  std::string ServerFile() const { return bin_ + "zmoserver.dat"; }
  void WriteServers(const std::vector<TestServer>& servers) {
    std::string data;
    for (const TestServer& s : servers) data += Record(s);
    ASSERT_EQ(zmo::WriteFileAtomic(ServerFile(), data), 0);
  }

  // One cycle as the work loop's first pass makes it.
  int RunCycle() {
    snapState().runCounter = 1;
    EXPECT_EQ(initRfcTables(), 0);
    snapGetMetricFilters();
    return snapStartQuery(0, nullptr);
  }

  // The programs started, in order: name, then arguments and what it said.
  std::vector<std::vector<std::string>> Children() const {
    std::vector<std::vector<std::string>> children;
    std::ifstream in(env_.Dir() + "children.log");
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind("== ", 0) == 0) {
        children.push_back({line.substr(3)});
      } else if (!children.empty()) {
        const bool arg = line.size() >= 2 && line.front() == '[';
        children.back().push_back(arg ? line.substr(1, line.size() - 2) : line);
      }
    }
    return children;
  }
  static std::vector<std::string> Message(const std::string& text) {
    return {"zmomsg", "-p", "SNAP", "-m", text};
  }
  static std::vector<std::string> StartMessage() {
    return Message("Monitoring for Orvane auto loader started");
  }
  static std::vector<std::string> EndMessage() {
    return Message("Collection of SNAP records has ended");
  }
  static std::vector<std::string> Loader(const std::vector<std::string>& said) {
    std::vector<std::string> v{"zmoloader", "-a", "-p", "SNAP", "-h", "10.9.8.7",
                               "-i",        std::to_string(getpid())};
    v.insert(v.end(), said.begin(), said.end());
    return v;
  }

  // Collecting and hand-over files by kind.
  std::string Collecting(const char* ext) const {
    return bin_ + (std::string(ext) == "avai" ? "zmosnapavai.dat" : "zmosnipsnap." + std::string(ext));
  }
  std::string HandOver(const char* ext) const {
    return bin_ + (std::string(ext) == "avai" ? "zmoavai.dat" : "zmosnap." + std::string(ext));
  }
  std::vector<std::string> Lines(const std::string& path) const { return SnapTestEnv::Lines(path); }

  // Oracle lines whose RFC destination (columns 1-20) is dest.
  static int CountDestination(const std::vector<std::string>& lines, const std::string& dest) {
    int n = 0;
    for (const std::string& l : lines) n += l.compare(0, 20, Pad(dest, 20)) == 0 ? 1 : 0;
    return n;
  }
  // The availability flag (column 102) of the server's line, or -1.
  static int Available(const std::vector<std::string>& lines, const TestServer& s) {
    for (const std::string& l : lines) {
      if (l.size() == 102 && l.compare(0, 20, Pad(s.Destination(), 20)) == 0) return l[101] - '0';
    }
    return -1;
  }
  // The files in a directory, sorted.
  static std::vector<std::string> Files(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  SnapTestEnv env_;
  zmo_test::ScopedTz tz_{"UTC0"};
  zmo::ScopedFakeClock clock_;
  std::string bin_;
  std::string sap_;
};
