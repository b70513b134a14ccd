#include "platform/registry.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "zmo_test/matchers.h"

namespace {

using zmo_test::HasText;
using namespace std::string_literals;

struct KeyCloser {
  void operator()(ZmoRegKey* key) const { RegCloseKey(key); }
};
using OpenKey = std::unique_ptr<ZmoRegKey, KeyCloser>;

constexpr const char* kHklmFile = "HKEY_LOCAL_MACHINE.reg";
constexpr const char* kHeader = "REGEDIT4\n\n";

LONG Create(HKEY parent, const char* path, OpenKey* out, DWORD* disposition = nullptr) {
  HKEY key = nullptr;
  LONG rc = RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &key, disposition);
  out->reset(key);
  return rc;
}

LONG Open(HKEY parent, const char* path, OpenKey* out) {
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExA(parent, path, 0, KEY_READ, &key);
  out->reset(key);
  return rc;
}

LONG SetBytes(HKEY key, const char* name, DWORD type, const std::string& bytes) {
  return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                        static_cast<DWORD>(bytes.size()));
}

LONG SetSz(HKEY key, const char* name, const std::string& text) {
  return SetBytes(key, name, REG_SZ, text + '\0');
}

// The value's bytes, read with the usual size-then-data protocol.
LONG Get(HKEY key, const char* name, std::string* bytes, DWORD* type = nullptr) {
  DWORD size = 0;
  LONG rc = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
  if (rc != ERROR_SUCCESS) return rc;
  std::vector<BYTE> buf(size + 1);
  rc = RegQueryValueExA(key, name, nullptr, type, buf.data(), &size);
  if (rc == ERROR_SUCCESS) bytes->assign(reinterpret_cast<char*>(buf.data()), size);
  return rc;
}

std::string SubkeyAt(HKEY key, DWORD index, LONG* rc) {
  char name[256];
  DWORD size = sizeof(name);
  *rc = RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
  return *rc == ERROR_SUCCESS ? std::string(name, size) : std::string();
}

std::string ValueAt(HKEY key, DWORD index, LONG* rc) {
  char name[256];
  DWORD size = sizeof(name);
  *rc = RegEnumValueA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
  return *rc == ERROR_SUCCESS ? std::string(name, size) : std::string();
}

DWORD SubkeyCount(HKEY key) {
  DWORD n = 999;
  EXPECT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &n, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  return n;
}

DWORD ValueCount(HKEY key) {
  DWORD n = 999;
  EXPECT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &n, nullptr,
                             nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  return n;
}

// Permission bits of a file, or 0 when it cannot be found.
unsigned FileMode(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

// Runs fn in a forked child; its result becomes the exit code.
template <typename Fn>
pid_t Spawn(Fn fn) {
  pid_t pid = fork();
  if (pid == 0) _exit(fn());
  return pid;
}

int WaitExit(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/zmo_registry_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    base_ = tmpl;
    dir_ = base_ + "/store";  // made by the first write
    setenv("ZMO_REGISTRY", dir_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("ZMO_REGISTRY");
    std::system(("rm -rf " + base_).c_str());
  }

  std::string StorePath(const char* file = kHklmFile) const { return zmo::JoinPath(dir_, file); }
  std::string StoreText(const char* file = kHklmFile) const {
    std::string text;
    EXPECT_EQ(zmo::ReadWholeFile(StorePath(file), &text), 0);
    return text;
  }
  // Replaces the file as a person or another program would (a new inode).
  void WriteStore(const std::string& text, const char* file = kHklmFile) const {
    mkdir(dir_.c_str(), 0755);
    ASSERT_EQ(zmo::WriteFileAtomic(StorePath(file), text), 0);
  }

  std::string base_;
  std::string dir_;
};

// ---- Location ----

TEST(RegistryDirectoryTest, EnvironmentOrDefault) {
  struct Case {
    const char* env;  // nullptr: unset
    const char* expect;
  } cases[] = {
      {nullptr, "/var/lib/zmo/registry"},
      {"", "/var/lib/zmo/registry"},
      {"/srv/other", "/srv/other"},
  };
  for (const Case& c : cases) {
    if (c.env) {
      setenv("ZMO_REGISTRY", c.env, 1);
    } else {
      unsetenv("ZMO_REGISTRY");
    }
    EXPECT_STREQ(zmo::RegistryDirectory(), c.expect) << (c.env ? c.env : "(unset)");
  }
  unsetenv("ZMO_REGISTRY");
}

TEST_F(RegistryTest, ReadingAMissingStoreFindsNothingAndCreatesNothing) {
  OpenKey key;
  EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, "SOFTWARE", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);
  EXPECT_EQ(SubkeyCount(HKEY_LOCAL_MACHINE), 0u);
  EXPECT_FALSE(zmo::FileExists(dir_.c_str()));
}

TEST_F(RegistryTest, FirstWriteCreatesTheDirectoryAndEachRootHasItsOwnFile) {
  const struct {
    HKEY root;
    const char* name;
  } roots[] = {
      {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},     {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
      {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},   {HKEY_USERS, "HKEY_USERS"},
      {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"}, {HKEY_DYN_DATA, "HKEY_DYN_DATA"},
  };
  for (const auto& r : roots) {
    OpenKey key;
    ASSERT_EQ(Create(r.root, "Key", &key), ERROR_SUCCESS) << r.name;
    ASSERT_EQ(SetSz(key.get(), "v", r.name), ERROR_SUCCESS);
  }
  for (const auto& r : roots) {
    std::string file = std::string(r.name) + ".reg";
    EXPECT_EQ(StoreText(file.c_str()),
              kHeader + "["s + r.name + "\\Key]\n\"v\"=\"" + r.name + "\"\n\n");
  }
  // Private: the store holds the scrambled password.
  EXPECT_EQ(FileMode(StorePath()), 0600u);
}

TEST_F(RegistryTest, RootValuesAndNestedKeysAreWrittenParentsFirst) {
  OpenKey key;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\b\\Deep", &key), ERROR_SUCCESS);
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\A", &key), ERROR_SUCCESS);
  ASSERT_EQ(SetSz(key.get(), "x", "1"), ERROR_SUCCESS);
  ASSERT_EQ(SetSz(HKEY_LOCAL_MACHINE, "top", "t"), ERROR_SUCCESS);
  EXPECT_EQ(StoreText(), kHeader +
                             "[HKEY_LOCAL_MACHINE]\n\"top\"=\"t\"\n\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\n\"x\"=\"1\"\n\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\b]\n\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\b\\Deep]\n\n"s);
}

// ---- Format: every kind of value, written and read back byte for byte ----

struct FormatCase {
  const char* label;
  const char* name;
  DWORD type;
  std::string data;
  std::string line;  // as it stands in the file
};

const FormatCase kFormatCases[] = {
    {"plain text", "BinDir", REG_SZ, "/opt/zmo\0"s, "\"BinDir\"=\"/opt/zmo\""},
    {"escapes", "q\"uote\\", REG_SZ, "C:\\dir\\\"x\"\0"s, R"("q\"uote\\"="C:\\dir\\\"x\"")"},
    {"empty text", "Empty", REG_SZ, "\0"s, "\"Empty\"=\"\""},
    {"Windows-1252 bytes", "Caf\xE9", REG_SZ, "M\xFCller \x80\0"s,
     "\"Caf\xE9\"=\"M\xFCller \x80\""},
    {"text without its NUL", "N", REG_SZ, "abc", "\"N\"=hex(1):61,62,63"},
    {"embedded NUL", "N", REG_SZ, "a\0b\0"s, "\"N\"=hex(1):61,00,62,00"},
    {"size 0 text", "N", REG_SZ, "", "\"N\"=hex(1):"},
    {"line break in text", "N", REG_SZ, "a\r\nb\0"s, "\"N\"=hex(1):61,0d,0a,62,00"},
    {"tab in text", "N", REG_SZ, "a\tb\0"s, "\"N\"=hex(1):61,09,62,00"},
    {"dword", "D", REG_DWORD, "\x0a\0\0\0"s, "\"D\"=dword:0000000a"},
    {"dword all ones", "D", REG_DWORD, "\xff\xff\xff\xff", "\"D\"=dword:ffffffff"},
    {"dword little-endian", "D", REG_DWORD, "\x78\x56\x34\x12", "\"D\"=dword:12345678"},
    {"dword of 3 bytes", "D", REG_DWORD, "\x01\x02\x03", "\"D\"=hex(4):01,02,03"},
    {"binary", "B", REG_BINARY, "\x00\xff\x10"s, "\"B\"=hex:00,ff,10"},
    {"empty binary", "B", REG_BINARY, "", "\"B\"=hex:"},
    {"multi text", "M", REG_MULTI_SZ, "a\0b\0\0"s, "\"M\"=hex(7):61,00,62,00,00"},
    {"expandable text", "X", REG_EXPAND_SZ, "%P%\0"s, "\"X\"=hex(2):25,50,25,00"},
    {"no type", "Z", REG_NONE, "", "\"Z\"=hex(0):"},
    {"unknown type", "U", 0x12345678, "\x01", "\"U\"=hex(12345678):01"},
    {"default value", "", REG_SZ, "d\0"s, "@=\"d\""},
    {"value named @", "@", REG_SZ, "x\0"s, "\"@\"=\"x\""},
};

std::string OneValueFile(const std::string& line) {
  return kHeader + "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\T]\n"s + line +
         "\n\n";
}

TEST_F(RegistryTest, EachValueKindIsWrittenInItsForm) {
  for (const FormatCase& c : kFormatCases) {
    SCOPED_TRACE(c.label);
    OpenKey key;
    ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\T", &key), ERROR_SUCCESS);
    ASSERT_EQ(SetBytes(key.get(), c.name, c.type, c.data), ERROR_SUCCESS);
    EXPECT_EQ(StoreText(), OneValueFile(c.line));
    key.reset();
    ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\T"), ERROR_SUCCESS);
  }
}

TEST_F(RegistryTest, EachValueFormReadsBackItsExactBytesAndType) {
  for (const FormatCase& c : kFormatCases) {
    SCOPED_TRACE(c.label);
    WriteStore(OneValueFile(c.line));
    OpenKey key;
    ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\T", &key), ERROR_SUCCESS);
    std::string bytes;
    DWORD type = 0;
    ASSERT_EQ(Get(key.get(), c.name, &bytes, &type), ERROR_SUCCESS);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(bytes, c.data);
  }
}

TEST_F(RegistryTest, EveryByteRoundTripsThroughTheFile) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::string text = all.substr(1) + '\0';  // every byte but NUL, then the NUL
  std::string name;
  for (int b = 0x20; b < 256; ++b) {
    if (b != 0x7F) name.push_back(static_cast<char>(b));
  }
  OpenKey key;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, "K\xE9y \"[x]\"", &key), ERROR_SUCCESS);
  ASSERT_EQ(SetBytes(key.get(), "bin", REG_BINARY, all), ERROR_SUCCESS);
  ASSERT_EQ(SetBytes(key.get(), "sz", REG_SZ, text), ERROR_SUCCESS);
  ASSERT_EQ(SetSz(key.get(), name.c_str(), "named"), ERROR_SUCCESS);
  key.reset();
  WriteStore(StoreText());  // a new file of the same text: read from disk again

  ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, "K\xE9y \"[x]\"", &key), ERROR_SUCCESS);
  std::string bytes;
  ASSERT_EQ(Get(key.get(), "bin", &bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, all);
  ASSERT_EQ(Get(key.get(), "sz", &bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, text);
  ASSERT_EQ(Get(key.get(), name.c_str(), &bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "named\0"s);
}

TEST_F(RegistryTest, HandEditedFilesAreReadLeniently) {
  WriteStore(
      "REGEDIT4\r\n"
      "; a comment\r\n"
      "   \r\n"
      "[hkey_local_machine\\Soft\\]\r\n"
      "  \"a\"=\"one\"  \r\n"
      "\"b\"=dword:a\r\n"
      "\"c\"=hex: 01 , 02,03\r\n"
      "\"a\"=\"later line wins\"\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFT]\r\n"
      "\"d\"=\"same key, merged\"");  // no final line end
  OpenKey key;
  ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, "Soft", &key), ERROR_SUCCESS);
  const struct {
    const char* name;
    DWORD type;
    std::string data;
  } expect[] = {
      {"a", REG_SZ, "later line wins\0"s},
      {"b", REG_DWORD, "\x0a\0\0\0"s},
      {"c", REG_BINARY, "\x01\x02\x03"},
      {"d", REG_SZ, "same key, merged\0"s},
  };
  for (const auto& e : expect) {
    std::string bytes;
    DWORD type = 0;
    ASSERT_EQ(Get(key.get(), e.name, &bytes, &type), ERROR_SUCCESS) << e.name;
    EXPECT_EQ(type, e.type) << e.name;
    EXPECT_EQ(bytes, e.data) << e.name;
  }
  EXPECT_EQ(SubkeyCount(HKEY_LOCAL_MACHINE), 1u);
}

// ---- Damaged files ----

TEST_F(RegistryTest, DamagedFileGivesBadDbNamingFileAndLine) {
  const std::string good = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\S]\n";
  const struct {
    const char* label;
    std::string text;
    int line;
  } cases[] = {
      {"empty file", "", 1},
      {"wrong header", "REGEDIT5\n\n", 1},
      {"binary garbage",
       "\x7f"
       "ELF\x02\x01\x01\0\0\0"s,
       1},
      {"value before any section", "REGEDIT4\n\n\"v\"=\"x\"\n", 3},
      {"section without ]", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\S\n", 3},
      {"section of another root", "REGEDIT4\n\n[HKEY_USERS\\S]\n", 3},
      {"empty key name", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A\\\\B]\n", 3},
      {"unterminated text", good + "\"v\"=\"abc\n", 4},
      {"unknown escape", good + "\"v\"=\"a\\nb\"\n", 4},
      {"control byte in text",
       good + "\"v\"=\"a\x01"
              "b\"\n",
       4},
      {"NUL in a line", good + "\"v\"=\"a\0b\"\n"s, 4},
      {"text after the quote", good + "\"v\"=\"x\" y\n", 4},
      {"no =", good + "\"v\" \"x\"\n", 4},
      {"unquoted name", good + "v=\"x\"\n", 4},
      {"unknown form", good + "\"v\"=42\n", 4},
      {"dword of 9 digits", good + "\"v\"=dword:123456789\n", 4},
      {"dword not hex", good + "\"v\"=dword:xyz\n", 4},
      {"hex odd digit", good + "\"v\"=hex:0\n", 4},
      {"hex trailing comma", good + "\"v\"=hex:00,\n", 4},
      {"hex no commas", good + "\"v\"=hex:0001\n", 4},
      {"hex bad type", good + "\"v\"=hex(zz):00\n", 4},
      {"error on a later line", good + "\"a\"=\"1\"\n\n[HKEY_LOCAL_MACHINE\\T]\n\"b\"=hex:g0\n", 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    WriteStore(c.text);
    std::string prefix = StorePath() + ":" + std::to_string(c.line) + ": ";
    OpenKey key;
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, "S", &key), ERROR_BADDB);
    EXPECT_EQ(std::string(zmo::RegistryLastErrorText()).substr(0, prefix.size()), prefix)
        << zmo::RegistryLastErrorText();
    // A write neither succeeds nor replaces the damaged file.
    EXPECT_EQ(SetSz(HKEY_LOCAL_MACHINE, "v", "x"), ERROR_BADDB);
    EXPECT_EQ(Create(HKEY_LOCAL_MACHINE, "New", &key), ERROR_BADDB);
    EXPECT_EQ(StoreText(), c.text);
  }
  // Repaired, the store works again and the error text is cleared.
  WriteStore(good);
  OpenKey key;
  EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, "S", &key), ERROR_SUCCESS);
  EXPECT_STREQ(zmo::RegistryLastErrorText(), "");
}

TEST_F(RegistryTest, DamageInOneRootLeavesTheOthersUsable) {
  WriteStore("garbage\n", "HKEY_USERS.reg");
  OpenKey key;
  EXPECT_EQ(Create(HKEY_USERS, "A", &key), ERROR_BADDB);
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, "A", &key), ERROR_SUCCESS);
  EXPECT_EQ(SetSz(key.get(), "v", "x"), ERROR_SUCCESS);
}

TEST_F(RegistryTest, UnusableStoreIsAnErrorNotASuccess) {
  // The directory lies under a regular file: nothing can be created there.
  std::string file = base_ + "/plain";
  ASSERT_EQ(zmo::WriteFileAtomic(file, "x"), 0);
  setenv("ZMO_REGISTRY", (file + "/store").c_str(), 1);
  OpenKey key;
  EXPECT_EQ(Create(HKEY_LOCAL_MACHINE, "A", &key), ERROR_ACCESS_DENIED);
  EXPECT_EQ(key, nullptr);
  EXPECT_NE(std::string(zmo::RegistryLastErrorText()).find(file), std::string::npos)
      << zmo::RegistryLastErrorText();
  EXPECT_EQ(SetSz(HKEY_LOCAL_MACHINE, "v", "x"), ERROR_ACCESS_DENIED);
  EXPECT_NE(Open(HKEY_LOCAL_MACHINE, "A", &key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, RootFileThatCannotBeReadIsAnError) {
  ASSERT_EQ(mkdir(dir_.c_str(), 0755), 0);
  ASSERT_EQ(mkdir(StorePath().c_str(), 0755), 0);  // a directory where the file belongs
  OpenKey key;
  EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, "A", &key), ERROR_ACCESS_DENIED);
  EXPECT_THAT(std::string(zmo::RegistryLastErrorText()), HasText(StorePath()));
  EXPECT_EQ(SetSz(HKEY_LOCAL_MACHINE, "v", "x"), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryTest, RewriteKeepsTheFileMode) {
  ASSERT_EQ(SetSz(HKEY_LOCAL_MACHINE, "v", "1"), ERROR_SUCCESS);
  ASSERT_EQ(SetSz(HKEY_LOCAL_MACHINE, "v", "2"), ERROR_SUCCESS);
  EXPECT_EQ(FileMode(StorePath()), 0600u);
  // What an administrator set (a group that may read) is kept too.
  ASSERT_EQ(chmod(StorePath().c_str(), 0640), 0);
  ASSERT_EQ(SetSz(HKEY_LOCAL_MACHINE, "v", "3"), ERROR_SUCCESS);
  EXPECT_EQ(FileMode(StorePath()), 0640u);
}

// ---- Query protocol ----

TEST_F(RegistryTest, QueryValueSizeProtocol) {
  OpenKey key;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, "K", &key), ERROR_SUCCESS);
  ASSERT_EQ(SetSz(key.get(), "Name", "abc"), ERROR_SUCCESS);  // 4 bytes with its NUL
  const struct {
    const char* label;
    const char* name;
    bool pass_buffer;
    bool pass_size;
    DWORD size_in;
    LONG rc;
    DWORD size_out;
    const char* buffer_after;  // 4 bytes starting "####"
  } cases[] = {
      {"size only", "Name", false, true, 0, ERROR_SUCCESS, 4, "####"},
      {"size only ignores the size given", "Name", false, true, 1, ERROR_SUCCESS, 4, "####"},
      {"exact buffer", "Name", true, true, 4, ERROR_SUCCESS, 4, "abc\0"},
      {"larger buffer", "Name", true, true, 8, ERROR_SUCCESS, 4, "abc\0"},
      {"short buffer", "Name", true, true, 3, ERROR_MORE_DATA, 4, "####"},
      {"empty buffer", "Name", true, true, 0, ERROR_MORE_DATA, 4, "####"},
      {"buffer without a size", "Name", true, false, 0, ERROR_INVALID_PARAMETER, 0, "####"},
      {"type only", "Name", false, false, 0, ERROR_SUCCESS, 0, "####"},
      {"name in other case", "NAME", true, true, 8, ERROR_SUCCESS, 4, "abc\0"},
      {"missing value", "Other", true, true, 8, ERROR_FILE_NOT_FOUND, 8, "####"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    BYTE buf[8];
    std::memset(buf, '#', sizeof(buf));
    DWORD size = c.size_in;
    DWORD type = 99;
    LONG rc = RegQueryValueExA(key.get(), c.name, nullptr, &type, c.pass_buffer ? buf : nullptr,
                               c.pass_size ? &size : nullptr);
    EXPECT_EQ(rc, c.rc);
    if (c.pass_size) {
      EXPECT_EQ(size, c.size_out);
    }
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 4), std::string(c.buffer_after, 4));
    if (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
      EXPECT_EQ(type, REG_SZ);
    }
  }
}

TEST_F(RegistryTest, DefaultValueIsNamedByNullOrEmpty) {
  ASSERT_EQ(SetSz(HKEY_LOCAL_MACHINE, nullptr, "dflt"), ERROR_SUCCESS);
  std::string bytes;
  ASSERT_EQ(Get(HKEY_LOCAL_MACHINE, "", &bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "dflt\0"s);
  EXPECT_EQ(RegDeleteValueA(HKEY_LOCAL_MACHINE, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, "", &bytes), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, SettingAgainReplacesTypeAndData) {
  ASSERT_EQ(SetSz(HKEY_LOCAL_MACHINE, "v", "a long text"), ERROR_SUCCESS);
  ASSERT_EQ(SetBytes(HKEY_LOCAL_MACHINE, "v", REG_DWORD, "\1\0\0\0"s), ERROR_SUCCESS);
  std::string bytes;
  DWORD type = 0;
  ASSERT_EQ(Get(HKEY_LOCAL_MACHINE, "v", &bytes, &type), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(bytes, "\1\0\0\0"s);
  ASSERT_EQ(RegSetValueExA(HKEY_LOCAL_MACHINE, "v", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
  ASSERT_EQ(Get(HKEY_LOCAL_MACHINE, "v", &bytes, &type), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(bytes, "");
}

// ---- Names ----

TEST_F(RegistryTest, KeyNamesMatchWithoutRegardToCaseAndKeepTheirCase) {
  const struct {
    const char* created;
    const char* opened;
  } cases[] = {
      {"SOFTWARE\\MixedCase", "software\\MIXEDCASE"},
      {"Caf\xC9", "caf\xE9"},                    // E acute, Windows-1252
      {"\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF"},  // S caron, OE, Z caron, Y diaeresis
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.created);
    OpenKey key;
    ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, c.created, &key), ERROR_SUCCESS);
    ASSERT_EQ(SetSz(key.get(), "v", "x"), ERROR_SUCCESS);
    ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, c.opened, &key), ERROR_SUCCESS);
    DWORD disposition = 0;
    ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, c.opened, &key, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    std::string bytes;
    EXPECT_EQ(Get(key.get(), "V", &bytes), ERROR_SUCCESS);
  }
  // One key each, under the case it was created with.
  OpenKey soft;
  ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, "SOFTWARE", &soft), ERROR_SUCCESS);
  LONG rc;
  EXPECT_EQ(SubkeyAt(soft.get(), 0, &rc), "MixedCase");
  EXPECT_EQ(SubkeyCount(soft.get()), 1u);
  // Letters without a case partner stay distinct.
  OpenKey key;
  EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, "Caf\xC8", &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, ValueNamesMatchWithoutRegardToCaseAndKeepTheirCase) {
  OpenKey key;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, "K", &key), ERROR_SUCCESS);
  ASSERT_EQ(SetSz(key.get(), "BinDir", "/one"), ERROR_SUCCESS);
  ASSERT_EQ(SetSz(key.get(), "BINDIR", "/two"), ERROR_SUCCESS);
  std::string bytes;
  ASSERT_EQ(Get(key.get(), "bindir", &bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "/two\0"s);
  LONG rc;
  EXPECT_EQ(ValueAt(key.get(), 0, &rc), "BinDir");
  EXPECT_EQ(ValueAt(key.get(), 1, &rc), "");
  EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(RegDeleteValueA(key.get(), "bInDiR"), ERROR_SUCCESS);
  EXPECT_EQ(Get(key.get(), "BinDir", &bytes), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, NamesTheFileCannotHoldAreRefused) {
  const std::string long_part(256, 'k');
  std::string deep;
  for (int i = 0; i < 513; ++i) deep += "d\\";
  const struct {
    const char* label;
    std::string path;
  } bad_keys[] = {
      {"empty part", "A\\\\B"}, {"leading separator", "\\A"}, {"part of 256", long_part},
      {"line break", "A\nB"},   {"control byte", "A\x7f"},    {"deeper than 512", deep},
  };
  for (const auto& c : bad_keys) {
    SCOPED_TRACE(c.label);
    OpenKey key;
    EXPECT_EQ(Create(HKEY_LOCAL_MACHINE, c.path.c_str(), &key), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, c.path.c_str(), &key), ERROR_INVALID_PARAMETER);
  }
  OpenKey key;
  EXPECT_EQ(Create(HKEY_LOCAL_MACHINE, std::string(255, 'k').c_str(), &key), ERROR_SUCCESS);
  EXPECT_EQ(Create(HKEY_LOCAL_MACHINE, "Trailing\\", &key), ERROR_SUCCESS);
  EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, "Trailing", &key), ERROR_SUCCESS);

  const struct {
    const char* label;
    std::string name;
    LONG rc;
  } value_names[] = {
      {"line break", "a\nb", ERROR_INVALID_PARAMETER},
      {"tab", "a\tb", ERROR_INVALID_PARAMETER},
      {"16384 long", std::string(16384, 'n'), ERROR_INVALID_PARAMETER},
      {"16383 long", std::string(16383, 'n'), ERROR_SUCCESS},
  };
  for (const auto& c : value_names) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(SetSz(key.get(), c.name.c_str(), "x"), c.rc);
  }
  EXPECT_EQ(RegSetValueExA(key.get(), "v", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Trailing", 0, KEY_READ, nullptr),
            ERROR_INVALID_PARAMETER);
}

// ---- Enumeration and deletion ----

TEST_F(RegistryTest, EnumerationOrderAndEnd) {
  OpenKey key, sub;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, "K", &key), ERROR_SUCCESS);
  for (const char* name : {"beta", "Alpha", "gamma", "ALPHA2"}) {
    ASSERT_EQ(Create(key.get(), name, &sub), ERROR_SUCCESS);
  }
  for (const char* name : {"z", "a", "M"}) ASSERT_EQ(SetSz(key.get(), name, name), ERROR_SUCCESS);

  LONG rc;
  std::vector<std::string> keys, values;
  for (DWORD i = 0; i < 10; ++i) {
    std::string name = SubkeyAt(key.get(), i, &rc);
    if (rc != ERROR_SUCCESS) break;
    keys.push_back(name);
  }
  EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
  for (DWORD i = 0; i < 10; ++i) {
    std::string name = ValueAt(key.get(), i, &rc);
    if (rc != ERROR_SUCCESS) break;
    values.push_back(name);
  }
  EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
  // Subkeys in case-insensitive order, values in the order they were made.
  EXPECT_EQ(keys, (std::vector<std::string>{"Alpha", "ALPHA2", "beta", "gamma"}));
  EXPECT_EQ(values, (std::vector<std::string>{"z", "a", "M"}));
}

TEST_F(RegistryTest, EnumerationBuffers) {
  OpenKey key, sub;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, "K", &key), ERROR_SUCCESS);
  ASSERT_EQ(Create(key.get(), "Name5", &sub), ERROR_SUCCESS);
  ASSERT_EQ(SetSz(key.get(), "Val4", "data"), ERROR_SUCCESS);

  char name[16];
  DWORD size = 5;  // no room for the NUL
  EXPECT_EQ(RegEnumKeyExA(key.get(), 0, name, &size, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
  size = 6;
  char cls[4] = "xyz";
  DWORD cls_size = sizeof(cls);
  FILETIME when{1, 1};
  ASSERT_EQ(RegEnumKeyExA(key.get(), 0, name, &size, nullptr, cls, &cls_size, &when),
            ERROR_SUCCESS);
  EXPECT_EQ(size, 5u);
  EXPECT_STREQ(name, "Name5");
  EXPECT_EQ(cls_size, 0u);
  EXPECT_STREQ(cls, "");
  EXPECT_EQ(RegEnumKeyExA(key.get(), 0, nullptr, &size, nullptr, nullptr, nullptr, nullptr),
            ERROR_INVALID_PARAMETER);

  size = 4;
  EXPECT_EQ(RegEnumValueA(key.get(), 0, name, &size, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
  BYTE data[8];
  DWORD data_size = 3;
  DWORD type = 0;
  size = sizeof(name);
  EXPECT_EQ(RegEnumValueA(key.get(), 0, name, &size, nullptr, &type, data, &data_size),
            ERROR_MORE_DATA);
  EXPECT_EQ(data_size, 5u);
  data_size = sizeof(data);
  size = sizeof(name);
  ASSERT_EQ(RegEnumValueA(key.get(), 0, name, &size, nullptr, &type, data, &data_size),
            ERROR_SUCCESS);
  EXPECT_STREQ(name, "Val4");
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), data_size), "data\0"s);
}

TEST_F(RegistryTest, DeletingIndexZeroLetsTheNextMoveUp) {
  OpenKey key, sub;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, "K", &key), ERROR_SUCCESS);
  for (const char* name : {"a", "b", "c", "d", "e"}) {
    ASSERT_EQ(Create(key.get(), name, &sub), ERROR_SUCCESS);
    ASSERT_EQ(SetSz(key.get(), name, name), ERROR_SUCCESS);
  }
  LONG rc;
  ASSERT_EQ(SubkeyAt(key.get(), 0, &rc), "a");
  ASSERT_EQ(RegDeleteKeyA(key.get(), "a"), ERROR_SUCCESS);
  EXPECT_EQ(SubkeyAt(key.get(), 0, &rc), "b");
  ASSERT_EQ(ValueAt(key.get(), 0, &rc), "a");
  ASSERT_EQ(RegDeleteValueA(key.get(), "a"), ERROR_SUCCESS);
  EXPECT_EQ(ValueAt(key.get(), 0, &rc), "b");

  // The usual delete-all loops end with nothing left.
  int guard = 0;
  for (std::string name = SubkeyAt(key.get(), 0, &rc); rc == ERROR_SUCCESS && guard < 10;
       name = SubkeyAt(key.get(), 0, &rc), ++guard) {
    ASSERT_EQ(RegDeleteKeyA(key.get(), name.c_str()), ERROR_SUCCESS);
  }
  EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(guard, 4);
  guard = 0;
  for (std::string name = ValueAt(key.get(), 0, &rc); rc == ERROR_SUCCESS && guard < 10;
       name = ValueAt(key.get(), 0, &rc), ++guard) {
    ASSERT_EQ(RegDeleteValueA(key.get(), name.c_str()), ERROR_SUCCESS);
  }
  EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(guard, 4);
  EXPECT_EQ(StoreText(), kHeader + "[HKEY_LOCAL_MACHINE\\K]\n\n"s);
}

TEST_F(RegistryTest, DeleteKeyRules) {
  OpenKey key;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, "P\\C\\G", &key), ERROR_SUCCESS);
  const struct {
    const char* label;
    const char* sub_key;
    LONG rc;
  } steps[] = {
      {"key with subkeys", "P", ERROR_ACCESS_DENIED},
      {"middle key with subkeys", "p\\c", ERROR_ACCESS_DENIED},
      {"missing key", "P\\X", ERROR_FILE_NOT_FOUND},
      {"missing parent", "Q\\X", ERROR_FILE_NOT_FOUND},
      {"no name", "", ERROR_INVALID_PARAMETER},
      {"null name", nullptr, ERROR_INVALID_PARAMETER},
      {"leaf, in other case", "p\\C\\g", ERROR_SUCCESS},
      {"leaf again", "P\\C\\G", ERROR_FILE_NOT_FOUND},
      {"now a leaf", "P\\C", ERROR_SUCCESS},
      {"last", "P", ERROR_SUCCESS},
  };
  for (const auto& s : steps) {
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, s.sub_key), s.rc) << s.label;
  }
  EXPECT_EQ(SubkeyCount(HKEY_LOCAL_MACHINE), 0u);
  EXPECT_EQ(RegDeleteValueA(HKEY_LOCAL_MACHINE, "none"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, QueryInfoKeyCountsAndLongest) {
  OpenKey key, sub;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, "K", &key), ERROR_SUCCESS);
  ASSERT_EQ(Create(key.get(), "ab", &sub), ERROR_SUCCESS);
  ASSERT_EQ(Create(key.get(), "abcdef", &sub), ERROR_SUCCESS);
  ASSERT_EQ(Create(key.get(), "abcdef\\longer_below_does_not_count", &sub), ERROR_SUCCESS);
  ASSERT_EQ(SetSz(key.get(), "n", "123456789"), ERROR_SUCCESS);
  ASSERT_EQ(SetSz(key.get(), "longname", "1"), ERROR_SUCCESS);
  ASSERT_EQ(SetSz(key.get(), "", ""), ERROR_SUCCESS);

  DWORD subs = 0, max_sub = 0, max_cls = 9, vals = 0, max_name = 0, max_data = 0, sec = 9;
  char cls[4] = "xyz";
  DWORD cls_size = sizeof(cls);
  FILETIME when{1, 1};
  ASSERT_EQ(RegQueryInfoKeyA(key.get(), cls, &cls_size, nullptr, &subs, &max_sub, &max_cls, &vals,
                             &max_name, &max_data, &sec, &when),
            ERROR_SUCCESS);
  EXPECT_EQ(subs, 2u);
  EXPECT_EQ(max_sub, 6u);
  EXPECT_EQ(vals, 3u);
  EXPECT_EQ(max_name, 8u);
  EXPECT_EQ(max_data, 10u);
  EXPECT_EQ(max_cls, 0u);
  EXPECT_EQ(cls_size, 0u);
  EXPECT_STREQ(cls, "");
  EXPECT_EQ(RegQueryInfoKeyA(key.get(), cls, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr),
            ERROR_INVALID_PARAMETER);
}

// ---- Handles ----

TEST_F(RegistryTest, HandleRules) {
  for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                    HKEY_CURRENT_CONFIG, HKEY_DYN_DATA}) {
    EXPECT_EQ(RegCloseKey(root), ERROR_SUCCESS);
  }
  EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
  int not_a_key = 0;
  EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(&not_a_key)), ERROR_INVALID_HANDLE);
  std::string bytes;
  EXPECT_EQ(Get(reinterpret_cast<HKEY>(&not_a_key), "v", &bytes), ERROR_INVALID_HANDLE);

  HKEY raw = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "K", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw,
                            nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(raw), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(raw), ERROR_INVALID_HANDLE);

  // A null or empty sub key opens the key itself, under a handle of its own.
  OpenKey k, same, again;
  ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, "K", &k), ERROR_SUCCESS);
  ASSERT_EQ(Open(k.get(), nullptr, &same), ERROR_SUCCESS);
  ASSERT_EQ(Open(k.get(), "", &again), ERROR_SUCCESS);
  ASSERT_EQ(SetSz(same.get(), "v", "1"), ERROR_SUCCESS);
  EXPECT_EQ(Get(again.get(), "v", &bytes), ERROR_SUCCESS);
  EXPECT_NE(same.get(), again.get());
}

TEST_F(RegistryTest, HandleOfADeletedKeyReportsIt) {
  OpenKey key, sub;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, "Gone", &key), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Gone"), ERROR_SUCCESS);
  std::string bytes;
  LONG rc;
  EXPECT_EQ(Get(key.get(), "v", &bytes), ERROR_KEY_DELETED);
  EXPECT_EQ(SetSz(key.get(), "v", "x"), ERROR_KEY_DELETED);
  EXPECT_EQ(Create(key.get(), "child", &sub), ERROR_KEY_DELETED);
  SubkeyAt(key.get(), 0, &rc);
  EXPECT_EQ(rc, ERROR_KEY_DELETED);
  EXPECT_EQ(SubkeyCount(HKEY_LOCAL_MACHINE), 0u);  // nothing was made again
  EXPECT_EQ(RegCloseKey(key.release()), ERROR_SUCCESS);
}

// ---- Many processes ----

TEST_F(RegistryTest, WritesOfAnotherProcessAreSeenAtTheNextCall) {
  OpenKey key;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, "K", &key), ERROR_SUCCESS);
  ASSERT_EQ(SetSz(key.get(), "v", "parent"), ERROR_SUCCESS);
  std::string bytes;
  ASSERT_EQ(Get(key.get(), "v", &bytes), ERROR_SUCCESS);  // now cached here
  for (const char* text : {"child 1", "child 2!"}) {
    pid_t pid = Spawn([&] { return SetSz(key.get(), "v", text) == ERROR_SUCCESS ? 0 : 1; });
    ASSERT_EQ(WaitExit(pid), 0);
    // The same handle, through a re-read of the file the child wrote.
    ASSERT_EQ(Get(key.get(), "v", &bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, text + "\0"s);
  }
  pid_t pid = Spawn([] { return RegDeleteKeyA(HKEY_LOCAL_MACHINE, "K") == ERROR_SUCCESS ? 0 : 1; });
  ASSERT_EQ(WaitExit(pid), 0);
  EXPECT_EQ(Get(key.get(), "v", &bytes), ERROR_KEY_DELETED);
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing) {
  constexpr int kWrites = 200;
  OpenKey key;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, "K", &key), ERROR_SUCCESS);
  auto writer = [&](char prefix) {
    for (int i = 0; i < kWrites; ++i) {
      std::string name = prefix + std::to_string(i);
      if (SetSz(key.get(), name.c_str(), name + " value") != ERROR_SUCCESS) return 1;
    }
    return 0;
  };
  pid_t a = Spawn([&] { return writer('A'); });
  pid_t b = Spawn([&] { return writer('B'); });
  ASSERT_EQ(WaitExit(a), 0);
  ASSERT_EQ(WaitExit(b), 0);
  EXPECT_EQ(ValueCount(key.get()), 2u * kWrites);
  for (char prefix : {'A', 'B'}) {
    for (int i = 0; i < kWrites; ++i) {
      std::string name = prefix + std::to_string(i);
      std::string bytes;
      ASSERT_EQ(Get(key.get(), name.c_str(), &bytes), ERROR_SUCCESS) << name;
      EXPECT_EQ(bytes, name + " value\0"s);
    }
  }
}

TEST_F(RegistryTest, TwoThreadsWritingAtOnceLoseNothing) {
  constexpr int kWrites = 100;
  OpenKey key;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, "K", &key), ERROR_SUCCESS);
  int failures[2] = {0, 0};
  auto writer = [&](int n) {
    for (int i = 0; i < kWrites; ++i) {
      std::string name = std::to_string(n) + "_" + std::to_string(i);
      OpenKey own;
      if (Open(HKEY_LOCAL_MACHINE, "K", &own) != ERROR_SUCCESS ||
          SetSz(own.get(), name.c_str(), name) != ERROR_SUCCESS) {
        ++failures[n];
      }
    }
  };
  std::thread t0(writer, 0), t1(writer, 1);
  t0.join();
  t1.join();
  EXPECT_EQ(failures[0] + failures[1], 0);
  EXPECT_EQ(ValueCount(key.get()), 2u * kWrites);
}

TEST_F(RegistryTest, ProcessKilledWhileWritingLeavesAWholeStore) {
  // A store of some size, so that a write takes a while.
  constexpr int kFiller = 500;
  std::string text = kHeader + "[HKEY_LOCAL_MACHINE\\K]\n"s;
  for (int i = 0; i < kFiller; ++i) {
    text += "\"filler" + std::to_string(i) + "\"=\"" + std::string(100, 'f') + "\"\n";
  }
  WriteStore(text + "\n");

  int pipe_fds[2];
  ASSERT_EQ(pipe(pipe_fds), 0);
  constexpr int kSeen = 25;
  pid_t pid = Spawn([&] {
    close(pipe_fds[0]);
    OpenKey key;
    if (Open(HKEY_LOCAL_MACHINE, "K", &key) != ERROR_SUCCESS) return 1;
    for (DWORD i = 1; i <= 100000; ++i) {
      std::string le(reinterpret_cast<const char*>(&i), 4);
      if (SetBytes(key.get(), "Counter", REG_DWORD, le) != ERROR_SUCCESS) return 2;
      if (write(pipe_fds[1], "c", 1) != 1) return 3;  // one byte per committed write
    }
    return 0;
  });
  close(pipe_fds[1]);
  char buf[kSeen];
  size_t got = 0;
  while (got < sizeof(buf)) {
    ssize_t n = read(pipe_fds[0], buf + got, sizeof(buf) - got);
    ASSERT_GT(n, 0) << "the writer ended early";
    got += static_cast<size_t>(n);
  }
  kill(pid, SIGKILL);
  EXPECT_EQ(WaitExit(pid), 128 + SIGKILL);
  close(pipe_fds[0]);

  // The store parses, holds every filler and the counter of a committed write.
  OpenKey key;
  ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, "K", &key), ERROR_SUCCESS) << zmo::RegistryLastErrorText();
  std::string bytes;
  ASSERT_EQ(Get(key.get(), "Counter", &bytes), ERROR_SUCCESS);
  ASSERT_EQ(bytes.size(), 4u);
  DWORD counter;
  std::memcpy(&counter, bytes.data(), 4);
  EXPECT_GE(counter, static_cast<DWORD>(kSeen));
  EXPECT_EQ(ValueCount(key.get()), kFiller + 1u);
  // The lock died with the writer.
  EXPECT_EQ(SetSz(key.get(), "after", "x"), ERROR_SUCCESS);
}

}  // namespace
