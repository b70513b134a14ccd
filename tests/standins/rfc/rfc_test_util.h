// Shared by the RFC stand-in's tests: a landscape directory of each test's
// own, the library reset around every test, and builders for the parameter
// and table lists of a call.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "common/sap_layouts.h"
#include "platform/files.h"
#include "rfc/saprfc.h"
#include "rfc/simulator.h"
#include "zmo_test/scoped.h"

namespace rfc_test {

using zmo_test::TempDir;

// A small valid system; tests append sections to it.
inline constexpr const char* kBaseSystem =
    "[logon]\n"
    "host = app1.example.net\n"
    "sysnr = 00\n"
    "client = 100\n"
    "user = MONUSER\n"
    "password = Secret1\n"
    "language = E\n"
    "\n"
    "[system_info]\n"
    "sysid = S01\n"
    "dbhost = db1\n"
    "release = 46C\n"
    "tzone = 3600\n"
    "dayst = X\n"
    "\n";

// The library at its start, answering from the test's own directory.
class RfcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zmo::rfc::SimReset();
    setenv(zmo::rfc::kSystemsEnv, dir_.path().c_str(), 1);
    unsetenv(zmo::rfc::kCallLogEnv);
  }
  void TearDown() override {
    zmo::rfc::SimReset();
    unsetenv(zmo::rfc::kSystemsEnv);
    unsetenv(zmo::rfc::kCallLogEnv);
  }

  void WriteSystem(const std::string& name, const std::string& text) {
    ASSERT_EQ(zmo::WriteFileAtomic(dir_.File(name + ".sys"), text), 0);
    zmo::rfc::SimReset();  // read the directory again
  }

  RFC_HANDLE Open(const char* host, int sysnr, const char* client, const char* user,
                  const char* password, const char* language = "E") {
    connopt_ = {host, sysnr, nullptr, nullptr};
    RFC_OPTIONS o{};
    o.destination = "S01";
    o.mode = RFC_MODE_R3ONLY;
    o.connopt = &connopt_;
    o.client = client;
    o.user = user;
    o.password = password;
    o.language = language;
    o.trace = 0;
    return RfcOpen(&o);
  }
  // Opens the base system.
  RFC_HANDLE OpenBase() { return Open("app1.example.net", 0, "100", "MONUSER", "Secret1"); }

  static std::string LastMessage() {
    RFC_ERROR_INFO info;
    RfcLastError(&info);
    return info.message;
  }

  TempDir dir_;
  RFC_CONNOPT_R3ONLY connopt_{};
};

// A parameter list whose values it owns; the list ends with a null name.
class Params {
 public:
  Params& Text(const char* name, const std::string& value, RFC_TYPEHANDLE type = TYPC) {
    store_.push_back(value);
    list_.push_back({name, 0, type, static_cast<unsigned>(value.size()), store_.back().data()});
    return *this;
  }
  Params& Int(const char* name, std::int32_t value) {
    store_.push_back(std::string(4, '\0'));
    std::memcpy(store_.back().data(), &value, 4);
    list_.push_back({name, 0, TYPINT, 4, store_.back().data()});
    return *this;
  }
  // An importing buffer of leng bytes.
  Params& Out(const char* name, unsigned leng, RFC_TYPEHANDLE type = TYPC) {
    store_.push_back(std::string(leng, '\x01'));
    list_.push_back({name, 0, type, leng, store_.back().data()});
    return *this;
  }
  std::string Value(const char* name) const {
    for (size_t i = 0; i < list_.size(); ++i) {
      if (std::strcmp(static_cast<const char*>(list_[i].name), name) == 0) {
        return std::string(static_cast<const char*>(list_[i].addr), list_[i].leng);
      }
    }
    return "";
  }
  std::int32_t IntValue(const char* name) const {
    std::int32_t v = 0;
    std::memcpy(&v, Value(name).data(), 4);
    return v;
  }
  RFC_PARAMETER* list() {
    terminated_ = list_;
    terminated_.push_back({nullptr, 0, 0, 0, nullptr});
    return terminated_.data();
  }

 private:
  std::deque<std::string> store_;  // stable addresses
  std::vector<RFC_PARAMETER> list_, terminated_;
};

// A table list; the list ends with a null name.
class Tables {
 public:
  Tables& Add(const char* name, ITAB_H table, RFC_TYPEHANDLE type = TYPC) {
    list_.push_back({name, 0, type, ItLeng(table), table, RFC_ITMODE_BYREFERENCE, 0});
    return *this;
  }
  RFC_TABLE* list() {
    terminated_ = list_;
    terminated_.push_back({nullptr, 0, 0, 0, nullptr, RFC_ITMODE_BYREFERENCE, 0});
    return terminated_.data();
  }

 private:
  std::vector<RFC_TABLE> list_, terminated_;
};

// Line i (1-based) of a table as bytes.
inline std::string Line(ITAB_H table, unsigned i) {
  const void* p = ItGetLine(table, i);
  return p == nullptr ? std::string() : std::string(static_cast<const char*>(p), ItLeng(table));
}

// Decoders of the line bytes, written from the field kinds alone.
inline long long Packed(const std::string& line, unsigned offset, unsigned n) {
  long long v = 0;
  for (unsigned i = 0; i < n; ++i) {
    unsigned char b = static_cast<unsigned char>(line[offset + i]);
    v = v * 10 + (b >> 4);
    if (i + 1 < n) v = v * 10 + (b & 0xF);
    else if ((b & 0xF) == 0xD) v = -v;
  }
  return v;
}

inline long long LittleEndian(const std::string& line, unsigned offset, unsigned n) {
  unsigned long long v = 0;
  for (unsigned i = n; i-- > 0;) v = v << 8 | static_cast<unsigned char>(line[offset + i]);
  if (n < 8 && (v >> (8 * n - 1)) != 0) v |= ~0ull << (8 * n);  // sign extension
  return static_cast<long long>(v);
}

// Blank-trimmed text of a 1-byte character field.
inline std::string Text(const std::string& line, unsigned offset, unsigned n) {
  std::string s = line.substr(offset, n);
  size_t end = s.find_last_not_of(' ');
  return end == std::string::npos ? "" : s.substr(0, end + 1);
}

}  // namespace rfc_test
