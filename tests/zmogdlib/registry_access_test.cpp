#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/files.h"
#include "platform/registry.h"
#include "zmogdlib/config_key.h"
#include "zmogdlib/zmogdlib.h"

namespace {

using namespace std::string_literals;

constexpr size_t kOut = 300;  // larger than the callers' 255, to see what lies past it

class RegistryAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/zmo_regaccess_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    base_ = tmpl;
    dir_ = base_ + "/store";
    setenv("ZMO_REGISTRY", dir_.c_str(), 1);
    std::memset(out_, '#', sizeof(out_));
  }
  void TearDown() override {
    unsetenv("ZMO_REGISTRY");
    std::system(("rm -rf " + base_).c_str());
  }

  // Stores raw bytes under the configuration key, as another tool might.
  void SetRaw(const char* name, DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }

  // The stored bytes and type of a value, or LONG result when it cannot be read.
  LONG GetRaw(const char* name, std::string* bytes, DWORD* type) {
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, 0, KEY_READ, &key);
    if (rc != ERROR_SUCCESS) return rc;
    char buf[1024];
    DWORD size = sizeof(buf);
    rc = RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(buf), &size);
    if (rc == ERROR_SUCCESS) bytes->assign(buf, size);
    RegCloseKey(key);
    return rc;
  }

  bool OutUntouched() const { return std::string(out_, kOut) == std::string(kOut, '#'); }

  std::string base_;
  std::string dir_;
  char out_[kOut];
};

TEST_F(RegistryAccessTest, UpdateCreatesTheKeyAndStoresTextWithItsNul) {
  const struct {
    const char* label;
    const char* value;
    std::string stored;
  } cases[] = {
      {"text", "/opt/zmo", "/opt/zmo\0"s},
      {"empty text", "", "\0"s},
      {"null text counts as empty", nullptr, "\0"s},
      {"Windows-1252 text", "M\xFCller", "M\xFCller\0"s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(UpdateRegistry("BinDir", c.value), 0);
    std::string bytes;
    DWORD type = 0;
    ASSERT_EQ(GetRaw("BinDir", &bytes, &type), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(bytes, c.stored);
  }
  std::string text;
  ASSERT_EQ(zmo::ReadWholeFile(dir_ + "/HKEY_LOCAL_MACHINE.reg", &text), 0);
  EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\"s + zmo::cfg::kConfigKey + "]\n"), std::string::npos)
      << text;
}

TEST_F(RegistryAccessTest, UpdateWithNullNameSetsTheDefaultValue) {
  EXPECT_EQ(UpdateRegistry(nullptr, "d"), 0);
  std::string bytes;
  DWORD type = 0;
  ASSERT_EQ(GetRaw("", &bytes, &type), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "d\0"s);
  EXPECT_EQ(ReadRegistry(nullptr, out_), 1);
  EXPECT_STREQ(out_, "d");
}

TEST_F(RegistryAccessTest, ReadCopiesBoundedAndTerminated) {
  const std::string long_text(300, 'x');
  const struct {
    const char* label;
    DWORD type;
    std::string stored;
    int length;
    std::string copied;
  } cases[] = {
      {"text", REG_SZ, "abc\0"s, 3, "abc"},
      {"empty text", REG_SZ, "\0"s, 0, ""},
      {"size 0", REG_SZ, "", 0, ""},
      {"no NUL", REG_SZ, "abc", 3, "abc"},
      {"embedded NUL", REG_SZ, "ab\0cd\0"s, 2, "ab"},
      {"254 characters", REG_SZ, long_text.substr(0, 254) + '\0', 254, long_text.substr(0, 254)},
      {"255 characters", REG_SZ, long_text.substr(0, 255) + '\0', 254, long_text.substr(0, 254)},
      {"300 characters", REG_SZ, long_text + '\0', 254, long_text.substr(0, 254)},
      {"300 characters, no NUL", REG_SZ, long_text, 254, long_text.substr(0, 254)},
      {"type not tested", REG_DWORD, "DCBA", 4, "DCBA"},
      {"Windows-1252 text", REG_SZ, "Caf\xE9\0"s, 4, "Caf\xE9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    SetRaw("Value", c.type, c.stored);
    std::memset(out_, '#', sizeof(out_));
    ASSERT_EQ(ReadRegistry("Value", out_), c.length);
    EXPECT_EQ(std::string(out_, c.length), c.copied);
    EXPECT_EQ(out_[c.length], '\0');
    // Nothing past the NUL is written.
    EXPECT_EQ(std::string(out_ + c.length + 1, kOut - c.length - 1),
              std::string(kOut - c.length - 1, '#'));
  }
}

TEST_F(RegistryAccessTest, UpdateThenReadRoundTrips) {
  for (const char* text : {"True", "20240131", "C:\\path \"quoted\"", "-30"}) {
    ASSERT_EQ(UpdateRegistry(zmo::cfg::kDetailKeepDays, text), 0);
    EXPECT_EQ(ReadRegistry(zmo::cfg::kDetailKeepDays, out_), static_cast<int>(std::strlen(text)));
    EXPECT_STREQ(out_, text);
  }
  // Names match without regard to case.
  EXPECT_EQ(ReadRegistry("detailkeepdays", out_), 3);
}

TEST_F(RegistryAccessTest, ReadOfWhatIsNotThereLeavesOutUnchanged) {
  // No store at all, then a key without the value.
  EXPECT_EQ(ReadRegistry("BinDir", out_), 0);
  EXPECT_TRUE(OutUntouched());
  ASSERT_EQ(UpdateRegistry("Other", "x"), 0);
  EXPECT_EQ(ReadRegistry("BinDir", out_), 0);
  EXPECT_TRUE(OutUntouched());
  EXPECT_EQ(ReadRegistry("BinDir", nullptr), 0);
}

TEST_F(RegistryAccessTest, DamagedStoreReadsAsNothingAndRefusesUpdates) {
  ASSERT_EQ(UpdateRegistry("BinDir", "/opt/zmo"), 0);
  ASSERT_EQ(zmo::WriteFileAtomic(dir_ + "/HKEY_LOCAL_MACHINE.reg", "not a registry file\n"), 0);
  EXPECT_EQ(ReadRegistry("BinDir", out_), 0);
  EXPECT_TRUE(OutUntouched());
  EXPECT_EQ(UpdateRegistry("BinDir", "/other"), 1);
}

TEST_F(RegistryAccessTest, UpdateReportsAKeyItCannotOpenOrCreate) {
  std::string file = base_ + "/plain";
  ASSERT_EQ(zmo::WriteFileAtomic(file, "x"), 0);
  setenv("ZMO_REGISTRY", (file + "/store").c_str(), 1);
  EXPECT_EQ(UpdateRegistry("BinDir", "/opt/zmo"), 1);
  EXPECT_EQ(ReadRegistry("BinDir", out_), 0);
  EXPECT_TRUE(OutUntouched());
}

TEST_F(RegistryAccessTest, UpdateReportsAValueThatWasNotSet) {
  const std::string too_long(16384, 'n');
  for (const char* name : {"line\nbreak", too_long.c_str()}) {
    EXPECT_EQ(UpdateRegistry(name, "x"), 5);
  }
  // The key itself was made; only the values were refused.
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, 0, KEY_READ, &key),
            ERROR_SUCCESS);
  DWORD values = 99;
  EXPECT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                             nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(values, 0u);
  RegCloseKey(key);
}

}  // namespace
