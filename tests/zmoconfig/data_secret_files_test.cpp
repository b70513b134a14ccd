// The files that hold a password, scrambled or clear, as the programs make
// them: the configurator's saves, zmosetval and a loader run. Each is its
// owner's alone (mode 0600).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "data_fixture.h"
#include "platform/files.h"
#include "platform/process.h"
#include "zmo_test/config_store.h"
#include "zmo_test/files.h"
#include "zmoconfig/file_save.h"
#include "zmoconfig/servers.h"
#include "zmogdlib/config_key.h"
#include "zmoloader/loader.h"
#include "zmoloader/state.h"

namespace {

using namespace zmo::config;
using zmoconfig_test::DataTest;

// The permission bits of path in octal ("0600"), or "<missing>".
std::string Mode(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return "<missing>";
  char text[8];
  std::snprintf(text, sizeof(text), "%04o", static_cast<unsigned>(st.st_mode & 07777));
  return text;
}

// "secret" scrambled with the configurator's key.
constexpr const char* kScrambledSecret = "llEY0JBejVCSTJzQ_1G";

class SecretFilesTest : public DataTest {
 protected:
  std::string Program(const std::string& name) const {
    return std::string(ZMO_TEST_BIN_DIR) + "/" + name;
  }

  // A Corva statistics run with aggregation and the trace on, files only.
  int RunLoader() {
    for (const char* name : {"zmogdlib.so", "zmocatENU.cat"}) {
      std::filesystem::create_symlink(Program(name), BinFile(name));
    }
    std::filesystem::create_directories(BinFile("ArchiveData"));
    // A handed-over file to load: the run writes every file of a load.
    zmo_test::WriteFile(BinFile("zmostati.dat"), "");
    const std::vector<std::pair<const char*, std::string>> values = {
        {zmo::cfg::kBinDir, BinDir()},         {zmo::cfg::kSnapDebug, "True"},
        {zmo::cfg::kLoaderLogSize, "1024"},    {zmo::cfg::kTrendKeepDays, "30"},
        {zmo::cfg::kDetailKeepDays, "-45"},    {zmo::cfg::kDB, "Corva"},
        {zmo::cfg::kINST, "zmoinst"},          {zmo::cfg::kUser, "zmouser"},
        {zmo::cfg::kAccess, kScrambledSecret}, {zmo::cfg::kDSN, "WHSE"},
        {zmo::cfg::kArchiveKeepDays, "-7"},    {zmo::cfg::kStatiOutPut, BinFile("zmostati.dat")}};
    for (const auto& [name, text] : values) zmo_test::PutConfigText(name, text);
    zmo::loader::loaderReset();
    std::vector<std::string> args = {"zmoloader",   "-a", "-p",  "STATI", "-h",
                                     "10.20.30.40", "-i", "153", "-d"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = zmo::loader::loaderMain(static_cast<int>(args.size()), argv.data());
    zmo::loader::loaderReset();
    return rc;
  }
};

TEST_F(SecretFilesTest, EveryFileThatHoldsAPasswordIsTheOwnersAlone) {
  // The configurator's save of the server list, twice: the file made anew,
  // then rewritten with its backup; the save also makes the registry store.
  ServerEntry e;
  e.host = "sap01.example.com";
  e.user = "collector";
  e.password = "secret";
  e.sid = "C11";
  e.client = "1";
  e.sysnr = "5";
  EntryRefusal refusal;
  ASSERT_EQ(CheckFields(&e, &refusal), 0) << refusal.text;
  ASSERT_EQ(StoreServerEntry(0, e), kStoreOk);
  ASSERT_EQ(SaveServerFile(), kSaveOk);
  ASSERT_EQ(SaveServerFile(), kSaveOk);

  // zmosetval making a store of its own.
  const std::string setval_store = dir_ / "setval_registry";
  {
    zmo_test::ScopedEnv store("ZMO_REGISTRY", setval_store);
    const std::string setval = Program("zmosetval");
    // The elements are joined into one command line: the key's blanks need quotes.
    const std::string key = std::string("\"") + zmo::cfg::kConfigKey + "\"";
    const char* argv[] = {setval.c_str(), "-k", key.c_str(),      "-n",
                          "Access",       "-v", kScrambledSecret, nullptr};
    ASSERT_EQ(_spawnv(_P_WAIT, setval.c_str(), argv), 0);
  }

  // A loader run: its trace shows the scrambled password, its batch files
  // and scripts hold the clear one.
  ASSERT_EQ(RunLoader(), 0);

  const std::string store_file = "HKEY_LOCAL_MACHINE.reg";
  const std::string files[] = {
      dir_ / ("registry/" + store_file), BinFile("zmoserver.dat"),     BinFile("zmoserver.bak"),
      setval_store + "/" + store_file,   BinFile("trace_zmoldr.log"),  BinFile("zmoload_stati.bat"),
      BinFile("zmoload2_stati.bat"),     BinFile("zmoload_stati.sql"), BinFile("zmostati.sql"),
  };
  for (const std::string& path : files) EXPECT_EQ(Mode(path), "0600") << path;
}

}  // namespace
