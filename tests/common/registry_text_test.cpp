// The one read and the one write of a registry value.

#include "common/registry_text.h"

#include <gtest/gtest.h>

#include <string>

#include "common/config_values.h"
#include "test_support.h"

namespace {

class RegistryTextTest : public zmo_test::RegistryTest {};

TEST_F(RegistryTextTest, ReadsWholeBytesAndTextUpToItsNul) {
  SetConfigValue("Inner", REG_SZ, "ab\0cd", 5);
  SetConfigValue("NoNul", REG_SZ, "True", 4);
  SetConfigValue("Binary", REG_BINARY, "\x01\x00\x02", 3);
  SetConfigText("Long", std::string(5000, 'l'));
  SetConfigText("Empty", "");
  struct Case {
    const char* name;
    LONG status;
    std::string bytes;
    std::string text;
  };
  const Case cases[] = {
      {"Inner", ERROR_SUCCESS, std::string("ab\0cd", 5), "ab"},
      {"NoNul", ERROR_SUCCESS, "True", "True"},
      {"Binary", ERROR_SUCCESS, std::string("\x01\x00\x02", 3), "\x01"},
      {"Long", ERROR_SUCCESS, std::string(5000, 'l') + '\0', std::string(5000, 'l')},
      {"Empty", ERROR_SUCCESS, std::string(1, '\0'), ""},
      {"Absent", ERROR_FILE_NOT_FOUND, "kept", "kept"},
  };
  HKEY key = OpenConfigKey();
  for (const Case& c : cases) {
    std::string bytes = "kept";
    std::string text = "kept";
    EXPECT_EQ(zmo::QueryRegistryBytes(key, c.name, &bytes), c.status) << c.name;
    EXPECT_EQ(bytes, c.bytes) << c.name;
    EXPECT_EQ(zmo::ReadRegistryText(key, c.name, &text), c.status) << c.name;
    EXPECT_EQ(text, c.text) << c.name;
  }
  RegCloseKey(key);
}

TEST_F(RegistryTextTest, WritesTextWithItsNulAndBytesAsGiven) {
  SetConfigText("Other", "");  // the key is there
  zmo::ConfigKey key;
  ASSERT_TRUE(key.Open(KEY_SET_VALUE | KEY_QUERY_VALUE));
  EXPECT_EQ(zmo::WriteRegistryText(key.get(), "Text", "abc"), ERROR_SUCCESS);
  EXPECT_EQ(zmo::WriteRegistryText(key.get(), "Expand", "%x%", REG_EXPAND_SZ), ERROR_SUCCESS);
  EXPECT_EQ(zmo::WriteRegistryValue(key.get(), "Bytes", REG_BINARY, std::string("a\0b", 3)),
            ERROR_SUCCESS);
  struct Case {
    const char* name;
    DWORD type;
    std::string bytes;
  };
  const Case cases[] = {
      {"Text", REG_SZ, std::string("abc", 4)},
      {"Expand", REG_EXPAND_SZ, std::string("%x%", 4)},
      {"Bytes", REG_BINARY, std::string("a\0b", 3)},
  };
  for (const Case& c : cases) {
    DWORD type = REG_NONE;
    ASSERT_EQ(RegQueryValueExA(key.get(), c.name, nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, c.type) << c.name;
    std::string bytes;
    EXPECT_EQ(zmo::QueryRegistryBytes(key.get(), c.name, &bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, c.bytes) << c.name;
  }
}

}  // namespace
