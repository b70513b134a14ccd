// The example landscape as the collectors' tests use it: its servers as the
// server file names them, the simulated systems' files, passwords scrambled
// by the real zmogdlib.so as the configurator stores them, and the server
// file's 183-byte records.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "platform/dynlib.h"
#include "platform/files.h"
#include "zmo_test/files.h"
#include "zmogdlib/zmogdlib.h"

namespace zmo_test {

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
  std::string Destination() const { return ShortHost() + "_" + sid + "_" + sysnr; }
  std::string DbDestination() const { return ShortHost() + "_" + sid + "_DB"; }

 private:
  // The host's name without router string and domain.
  std::string ShortHost() const {
    const std::string h = host.substr(host.rfind('/') + 1);
    return h.substr(0, h.find('.'));
  }
};

// The servers of the example landscape.
inline const TestServer kT31{"sapt31.example.net", "T31", "00", "init31pw"};
inline const TestServer kT40{"10.1.4.40", "T40", "01", "Init40Pw", "200"};
inline const TestServer kT45{"sapt45", "T45", "02", "Secret45", "300", "D", "zmomon"};
inline const TestServer kT46{"sapt46.example.net", "T46", "00", "Secret46"};
inline const TestServer kT4D{"sapt4d.example.net", "T4D", "10", "Secret4D", "800"};
inline const TestServer kT62{"/H/gw.example.net/S/3299/H/sapt62.example.net", "T62", "00",
                             "Secret62!"};
inline const TestServer kT70{"sapt70.example.net", "T70", "00", "Secret70"};

// The directory of the example landscape's simulated systems.
inline std::string FixtureSystems() { return std::string(ZMO_TEST_FIXTURES) + "/sap"; }

// The file of a simulated system of the example landscape ("T46").
inline std::string FixtureSystemText(const std::string& name) {
  std::string text;
  if (zmo::ReadWholeFile(FixtureSystems() + "/" + name + ".sys", &text) != 0) {
    ADD_FAILURE() << "no example system " << name;
  }
  return text;
}

// A system that answers everything (one CPU, disk and LAN line of its own
// and, with dbHost, of its database host), with extra sections to make one
// call fail.
inline std::string MadeSystem(const TestServer& s, const std::string& extra, bool dbHost = true) {
  std::string text = "[logon]\nhost = " + s.host + "\nsysnr = " + s.sysnr +
                     "\nclient = " + s.client + "\nuser = " + s.user +
                     "\npassword = " + s.password + "\n\n[system_info]\nsysid = " + s.sid +
                     "\ndbhost = db" + s.sid +
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

// The password scrambled as the configurator stores it.
inline std::string ScramblePassword(const std::string& clear) {
  HMODULE lib = LoadLibraryA(ZMO_TEST_BIN_DIR "/zmogdlib.so");
  EXPECT_NE(lib, nullptr);
  if (lib == nullptr) return "";
  auto encrypt = reinterpret_cast<ZmoEncryptFn>(GetProcAddress(lib, "Encrypt"));
  EXPECT_NE(encrypt, nullptr);
  char out[256] = {0};
  if (encrypt != nullptr) {
    EXPECT_GT(encrypt(clear.c_str(), kConfiguratorKey, out), 0);
  }
  FreeLibrary(lib);
  return out;
}

// One 183-byte record of the server file; stored is the password field as
// it stands.
inline std::string ServerRecord(const TestServer& s, const std::string& stored) {
  return Pad(s.host, 100) + Pad(s.user, 30) + Pad(stored, 30) + Pad(s.sid, 3) + Pad(s.client, 3) +
         Pad(s.sysnr, 2) + "000000240000" + Pad(s.language, 1) + "\r\n";
}
// The record with the password scrambled.
inline std::string ServerRecord(const TestServer& s) {
  return ServerRecord(s, ScramblePassword(s.password));
}

}  // namespace zmo_test
