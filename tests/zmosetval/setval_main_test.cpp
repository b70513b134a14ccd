#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/files.h"
#include "test_util.h"
#include "zmo_test/usage.h"
#include "zmosetval/zmosetval.h"

using namespace zmo::setval;

namespace {

using zmotest::Argv;
using zmotest::GetValue;
using zmotest::KeyExists;
using zmotest::PutValue;
using zmotest::RegValue;
using zmotest::Sz;

constexpr const char* kConfigKey = "SOFTWARE\\Velmar\\Monitoring for Orvane";
const std::string kUsage = zmo_test::UsageText("zmosetval");

// What one run gave: its status, what it printed, and the status file.
struct RunResult {
  int status;
  std::string out;
  std::string err;
  std::string status_file;
};

class ZmosetvalMainTest : public zmotest::StoreTest {
 protected:
  RunResult RunSetval(Argv args) {
    RunResult r;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    r.status = setvalMain(args.argc(), args.argv());
    r.out = testing::internal::GetCapturedStdout();
    r.err = testing::internal::GetCapturedStderr();
    if (zmo::ReadWholeFile(dir_ / "temp/clicfe.err", &r.status_file) != 0) r.status_file = "<none>";
    return r;
  }
  std::string File(const std::string& name, const std::string& content) {
    std::string path = dir_ / name;
    EXPECT_EQ(zmo::WriteFileAtomic(path, content), 0);
    return path;
  }
};

TEST_F(ZmosetvalMainTest, SetsANewValueAsText) {
  RunResult r = RunSetval({"zmosetval", "-k", kConfigKey, "-n", "ArchiveKeepDays", "-v", "-7"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status_file, "clicfg.err 0\r\n");
  EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, kConfigKey, "ArchiveKeepDays"), Sz("-7"));
}

TEST_F(ZmosetvalMainTest, ExistingValueKeepsItsTypeWhateverTheCaseOfItsName) {
  PutValue(HKEY_LOCAL_MACHINE, "K", "Count", {REG_DWORD, std::string("\x05\0\0\0", 4)});
  PutValue(HKEY_LOCAL_MACHINE, "K", "Other", Sz("x"));
  RunResult r = RunSetval({"zmosetval", "-k", "K", "-n", "COUNT", "-v", "9"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, "K", "Count"),
            (RegValue{REG_DWORD, std::string("9\0", 2)}));
  EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, "K", "Other"), Sz("x"));
}

TEST_F(ZmosetvalMainTest, ValueFromFile) {
  struct Case {
    const char* name;
    std::vector<std::string> flags;
    std::string content;
    std::optional<RegValue> existing;
    RegValue stored;
  } cases[] = {
      {"text keeps its line end", {}, "abc\n", std::nullopt, Sz("abc\n")},
      {"text mode reads CR LF as LF", {}, "a\r\nb\r\n", std::nullopt, Sz("a\nb\n")},
      {"text ends at a NUL", {}, std::string("ab\0cd", 5), std::nullopt, Sz("ab")},
      {"binary keeps every byte",
       {"-b"},
       std::string("\0\r\n\xff", 4),
       std::nullopt,
       {REG_BINARY, std::string("\0\r\n\xff", 4)}},
      {"binary into an existing text value keeps its type",
       {"-b"},
       "xy",
       Sz("old"),
       {REG_SZ, "xy"}},
      {"text cut at 1023 bytes",
       {},
       std::string(1500, 'q'),
       std::nullopt,
       Sz(std::string(1023, 'q'))},
  };
  for (Case& c : cases) {
    std::string key = std::string("Files\\") + c.name;
    if (c.existing) PutValue(HKEY_LOCAL_MACHINE, key, "V", *c.existing);
    std::string path = File("value", c.content);
    std::vector<std::string> args{"zmosetval"};
    args.insert(args.end(), c.flags.begin(), c.flags.end());
    for (const char* a : {"-k", key.c_str(), "-n", "V", "-v"}) args.push_back(a);
    args.push_back("@" + path);
    RunResult r = RunSetval(Argv(args));
    EXPECT_EQ(r.out, "") << c.name;
    EXPECT_EQ(r.status, 0) << c.name;
    EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, key, "V"), c.stored) << c.name;
  }
}

TEST_F(ZmosetvalMainTest, KeyFromFileIsTakenAsRead) {
  std::string plain = File("key1", "SOFTWARE\\FromFile");
  RunResult r = RunSetval({"zmosetval", "-k", "@" + plain, "-n", "N", "-v", "1"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\FromFile", "N"), Sz("1"));

  // The line end belongs to the key's name; it is not trimmed to a key that
  // happens to exist.
  PutValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Line", "N", Sz("old"));
  std::string with_end = File("key2", "SOFTWARE\\Line\r\n");
  RunSetval({"zmosetval", "-k", "@" + with_end, "-n", "N", "-v", "2"});
  EXPECT_EQ(setvalState().opt.key, "SOFTWARE\\Line\n");
  EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Line", "N"), Sz("old"));
}

TEST_F(ZmosetvalMainTest, AtFileThatCannotBeReadIsStatusOne) {
  std::string missing = dir_ / "missing";
  std::string empty = File("empty", "");
  struct Case {
    const char* name;
    Argv args;
    std::string out;
  } cases[] = {
      {"value file missing",
       {"zmosetval", "-k", "K", "-n", "N", "-v", "@" + missing},
       "*** ERROR: Unable to open " + missing + "\n"},
      {"value file empty",
       {"zmosetval", "-k", "K", "-n", "N", "-v", "@" + empty},
       "*** ERROR: Unable to read value from " + empty + "\n"},
      {"binary value file empty",
       {"zmosetval", "-b", "-k", "K", "-n", "N", "-v", "@" + empty},
       "*** ERROR: Unable to read value from " + empty + "\n"},
      {"key file missing",
       {"zmosetval", "-k", "@" + missing, "-n", "N", "-v", "1"},
       "*** ERROR: Unable to open " + missing + "\n"},
      {"key file empty",
       {"zmosetval", "-k", "@" + empty, "-n", "N", "-v", "1"},
       "*** ERROR: Unable to read key from " + empty + "\n"},
      {"key file empty, delete",
       {"zmosetval", "-d", "-k", "@" + empty},
       "*** ERROR: Unable to read key from " + empty + "\n"},
  };
  for (Case& c : cases) {
    RunResult r = RunSetval(c.args);
    EXPECT_EQ(r.status, 1) << c.name;
    EXPECT_EQ(r.out, c.out) << c.name;
    EXPECT_EQ(r.status_file, "clicfg.err 1\r\n") << c.name;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "K")) << c.name;
  }
}

TEST_F(ZmosetvalMainTest, WrongUsageIsStatusTwoWithTheUsageText) {
  PutValue(HKEY_LOCAL_MACHINE, "Keep\\Sub", "V", Sz("v"));
  std::string separators = "@" + File("separators", "\\\\");
  struct Case {
    const char* name;
    Argv args;
    std::string out;
  } cases[] = {
      {"no argument", {"zmosetval"}, ""},
      {"no key", {"zmosetval", "-n", "N", "-v", "V"}, ""},
      {"set without a value", {"zmosetval", "-k", "K", "-n", "N"}, ""},
      {"binary value not from a file", {"zmosetval", "-b", "-k", "K", "-n", "N", "-v", "data"}, ""},
      {"unknown root", {"zmosetval", "-h", "HKLM", "-k", "K", "-n", "N", "-v", "V"}, ""},
      {"illegal option",
       {"zmosetval", "-k", "K", "-n", "N", "-v", "V", "-x"},
       "zmosetval: illegal option -- x\n"},
      {"o option", {"zmosetval", "-o", "-k", "K", "-n", "N", "-v", "V"}, ""},
      {"missing option value",
       {"zmosetval", "-n", "N", "-v", "V", "-k"},
       "zmosetval: option requires an argument -- k\n"},
      {"delete with an empty key", {"zmosetval", "-d", "-k", ""}, ""},
      {"delete of the root through separators", {"zmosetval", "-d", "-k", "\\"}, ""},
      {"delete of the root through separators, glued", {"zmosetval", "-d", "-k\\\\\\"}, ""},
      {"delete of a root value", {"zmosetval", "-d", "-k", "", "-n", "V"}, ""},
      {"delete of the root through a key file", {"zmosetval", "-d", "-k", separators}, ""},
  };
  for (Case& c : cases) {
    RunResult r = RunSetval(c.args);
    EXPECT_EQ(r.status, 2) << c.name;
    EXPECT_EQ(r.out, c.out) << c.name;
    EXPECT_EQ(r.err, kUsage) << c.name;
    EXPECT_EQ(r.status_file, "clicfg.err 2\r\n") << c.name;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "K")) << c.name;
    EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, "Keep\\Sub", "V"), Sz("v")) << c.name;
  }
}

TEST_F(ZmosetvalMainTest, DeleteOfAKeyRemovesItsWholeTree) {
  PutValue(HKEY_LOCAL_MACHINE, "Top\\Tree", "V0", Sz("0"));
  PutValue(HKEY_LOCAL_MACHINE, "Top\\Tree\\A", "V1", Sz("1"));
  PutValue(HKEY_LOCAL_MACHINE, "Top\\Tree\\A\\B\\C", "V2", Sz("2"));
  PutValue(HKEY_LOCAL_MACHINE, "Top\\Tree\\A\\D", "V3", Sz("3"));
  PutValue(HKEY_LOCAL_MACHINE, "Top\\Tree\\E", "V4", Sz("4"));
  PutValue(HKEY_LOCAL_MACHINE, "Top\\TreeSibling", "V5", Sz("5"));
  RunResult r = RunSetval({"zmosetval", "-d", "-k", "top\\TREE"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.status_file, "clicfg.err 0\r\n");
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Top\\Tree"));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Top"));
  EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, "Top\\TreeSibling", "V5"), Sz("5"));
}

TEST_F(ZmosetvalMainTest, DeleteOfAKeyWithoutSubkeys) {
  PutValue(HKEY_CURRENT_USER, "Leaf", "V", Sz("v"));
  RunResult r = RunSetval({"zmosetval", "-d", "-h", "HKEY_CURRENT_USER", "-k", "Leaf"});
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Leaf"));
}

TEST_F(ZmosetvalMainTest, DeleteOfAValue) {
  PutValue(HKEY_LOCAL_MACHINE, "K", "Gone", Sz("1"));
  PutValue(HKEY_LOCAL_MACHINE, "K", "Kept", Sz("2"));
  RunResult r = RunSetval({"zmosetval", "-d", "-k", "K", "-n", "gone"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, "K", "Gone"), std::nullopt);
  EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, "K", "Kept"), Sz("2"));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "K"));
}

TEST_F(ZmosetvalMainTest, FailedDeletesAreStatusMinusOne) {
  PutValue(HKEY_LOCAL_MACHINE, "K", "V", Sz("1"));
  struct Case {
    const char* name;
    Argv args;
    const char* out;
  } cases[] = {
      {"value not there",
       {"zmosetval", "-d", "-k", "K", "-n", "Nope"},
       "*** ERROR: Key value 'Nope' not found\n"},
      {"key of the value not there",
       {"zmosetval", "-d", "-k", "Missing", "-n", "V"},
       "*** ERROR: Unable to open key 'Missing', error = 2\n"},
      {"key not there",
       {"zmosetval", "-d", "-k", "Missing"},
       "*** ERROR: Unable to open key 'Missing'\n, error = 2\n"},
  };
  for (Case& c : cases) {
    RunResult r = RunSetval(c.args);
    EXPECT_EQ(r.status, -1) << c.name;
    EXPECT_EQ(r.out, c.out) << c.name;
    EXPECT_EQ(r.err, "") << c.name;
    EXPECT_EQ(r.status_file, "clicfg.err -1\r\n") << c.name;
  }
  EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, "K", "V"), Sz("1"));
}

TEST_F(ZmosetvalMainTest, RootByName) {
  struct Case {
    const char* name;
    HKEY root;
  } cases[] = {
      {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},     {"hkey_users", HKEY_USERS},
      {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},   {"Hkey_Current_User", HKEY_CURRENT_USER},
      {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG}, {"hkey_dyn_data", HKEY_DYN_DATA},
  };
  for (const Case& c : cases) {
    std::string key = std::string("Root\\") + c.name;
    RunResult r = RunSetval({"zmosetval", "-h", c.name, "-k", key, "-n", "N", "-v", c.name});
    EXPECT_EQ(r.status, 0) << c.name;
    EXPECT_EQ(GetValue(c.root, key, "N"), Sz(c.name)) << c.name;
    if (c.root != HKEY_LOCAL_MACHINE) {
      EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key)) << c.name;
    }
  }
}

TEST_F(ZmosetvalMainTest, SetThatTheStoreRefusesIsStatusMinusOne) {
  // A store directory that is a plain file cannot hold the store.
  zmotest::TempDir other;
  std::string not_a_dir = other / "file";
  ASSERT_EQ(zmo::WriteFileAtomic(not_a_dir, "x"), 0);
  zmotest::ScopedEnv registry("ZMO_REGISTRY", not_a_dir);
  RunResult r = RunSetval({"zmosetval", "-k", "K", "-n", "N", "-v", "1"});
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(r.out.rfind("*** ERROR: ", 0), 0u) << r.out;
  EXPECT_EQ(r.status_file, "clicfg.err -1\r\n");
}

}  // namespace

namespace {

// A damaged store file is refused, and the message names its file and line.
TEST_F(ZmosetvalMainTest, ADamagedStoreIsNamedWithItsFileAndLine) {
  PutValue(HKEY_LOCAL_MACHINE, kConfigKey, "ArchiveKeepDays", Sz("-7"));
  const std::string store = dir_ / "registry/HKEY_LOCAL_MACHINE.reg";
  std::string text;
  ASSERT_EQ(zmo::ReadWholeFile(store, &text), 0);
  const auto lines = std::count(text.begin(), text.end(), '\n');
  ASSERT_EQ(zmo::WriteFileAtomic(store, text + "\"Broken\"=what\r\n"), 0);
  const std::string named =
      "*** ERROR: the registry store is damaged: " + store + ":" + std::to_string(lines + 1) + ": ";
  for (Argv args : {Argv{"zmosetval", "-k", kConfigKey, "-n", "ArchiveKeepDays", "-v", "-8"},
                    Argv{"zmosetval", "-d", "-k", kConfigKey, "-n", "ArchiveKeepDays"}}) {
    RunResult r = RunSetval(args);
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.out.rfind(named, 0), 0u) << r.out;
    EXPECT_NE(r.out.find("error = 1009"), std::string::npos) << "the code as before: " << r.out;
  }
}

}  // namespace
