#include "common/gdlib_binding.h"

#include <dlfcn.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "common/service_control.h"
#include "common/trace_log.h"
#include "test_support.h"
#include "zmogdlib/zmogdlib.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

// The configuration program's key, with which every stored password is made.
constexpr const char* kConfiguratorKey = "Qortane4_Brelmuskand7";

// Texts scrambled with the configurator key by the format's own rules (salt
// values 0x1234, 0x7abc and 0xff), independent of the library's Encrypt.
struct Scrambled {
  const char* text;
  const char* password;
};
constexpr Scrambled kScrambled[] = {
    {"llEY0JBejVCSTJzQ_1G", "secret"},
    {"tnKC0FzXxQTHa92cpQTs1GRY", "Pa55word!x"},
    {"uCpc0BA8aSzX", "a"},
};
// "secret" with the same salt under another key.
constexpr const char* kOtherKeyText = "DRVfuRRfjhGYj9CS1tG";

std::string LibraryPath() { return zmo::JoinPath(ZMO_TEST_BIN_DIR, zmo::kGdLibName); }

class GdLibBindingTest : public zmo_test::RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    Use(zmo::StatiProgramConfig());
  }
  void Use(const zmo::ConsoleProgramConfig& program) {
    zmo::SetConsoleProgram(program);
    zmo::SetTraceSwitch(1);
    zmo::setGdLibDirectory(ZMO_TEST_BIN_DIR);
  }
  std::string Loaded() { return "zmoLoaderGdLib() loaded <" + LibraryPath() + ">"; }
};

TEST(DecryptKeyTest, KeyEqualsTheConfiguratorKey) {
  char key[zmo::kDecryptKeySize];
  std::memset(key, 'x', sizeof(key));
  zmo::buildDecryptKey(key);
  EXPECT_STREQ(key, kConfiguratorKey);
  EXPECT_EQ(std::strlen(key), zmo::kDecryptKeyLength);
}

TEST(DecryptKeyTest, PiecesAreNotLeftReversedBetweenBuilds) {
  zmo::KeyPieces before;
  zmo::loadKeyPieces(&before);
  char first[zmo::kDecryptKeySize];
  char second[zmo::kDecryptKeySize];
  zmo::buildDecryptKey(first);
  zmo::buildDecryptKey(second);
  EXPECT_STREQ(first, second);
  zmo::KeyPieces after;
  zmo::loadKeyPieces(&after);
  EXPECT_EQ(std::memcmp(&before, &after, sizeof(before)), 0);
  // The key does not stand whole among the pieces.
  for (const auto& piece : after.piece) EXPECT_EQ(std::strlen(piece), 4u);
}

TEST(StrrevTest, ReversesInPlace) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {{"", ""}, {"a", "a"}, {"ab", "ba"}, {"abc", "cba"}, {"4ena", "ane4"}};
  for (const Case& c : cases) {
    char buf[8];
    std::strcpy(buf, c.in);
    EXPECT_EQ(strrev(buf), buf);
    EXPECT_STREQ(buf, c.out) << c.in;
  }
  EXPECT_EQ(strrev(nullptr), nullptr);
}

TEST_F(GdLibBindingTest, DecryptsWhatTheConfiguratorScrambled) {
  for (const auto& program : {zmo::StatiProgramConfig(), zmo::SnapProgramConfig()}) {
    zmo::ResetGdLibBinding();
    Use(program);
    for (const Scrambled& s : kScrambled) {
      const char* clear = zmo::zmodecrypt(s.text);
      ASSERT_NE(clear, nullptr) << program.program << " " << s.text;
      EXPECT_STREQ(clear, s.password);
    }
  }
}

TEST_F(GdLibBindingTest, RoundTripsThroughTheLibrarysOwnEncrypt) {
  void* lib = dlopen(LibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  auto encrypt = reinterpret_cast<ZmoEncryptFn>(dlsym(lib, "Encrypt"));
  ASSERT_NE(encrypt, nullptr);
  for (const char* password : {"x", "Fourteen_chars", "with blank and ;,\"'"}) {
    char text[256] = {};
    ASSERT_GT(encrypt(password, kConfiguratorKey, text), 0);
    const char* clear = zmo::zmodecrypt(text);
    ASSERT_NE(clear, nullptr) << password;
    EXPECT_STREQ(clear, password);
  }
  dlclose(lib);
}

TEST_F(GdLibBindingTest, ShortOrMissingInputGivesNoneWithoutLoading) {
  for (const char* text : {static_cast<const char*>(nullptr), "", "uCpc0BA8"}) {
    EXPECT_EQ(zmo::zmodecrypt(text), nullptr);
  }
  EXPECT_FALSE(zmo::GdLibLoaded());
  EXPECT_THAT(TraceTexts(), IsEmpty());
  // Nine characters are enough to try (and be rejected by Decrypt).
  EXPECT_EQ(zmo::zmodecrypt("uCpc0BA8a"), nullptr);
  EXPECT_TRUE(zmo::GdLibLoaded());
}

TEST_F(GdLibBindingTest, TextOfAnotherKeyOrDamagedTextGivesNone) {
  EXPECT_EQ(zmo::zmodecrypt(kOtherKeyText), nullptr);
  EXPECT_EQ(zmo::zmodecrypt("llEY0JBejVCSTJzQ_1H"), nullptr);
  EXPECT_EQ(zmo::zmodecrypt("ll+Y0JBejVCSTJzQ_1G"), nullptr);
  std::string overlong(1000, 'A');
  EXPECT_EQ(zmo::zmodecrypt(overlong.c_str()), nullptr);
  // A success after a failure is not disturbed by it, and the other way round.
  EXPECT_STREQ(zmo::zmodecrypt(kScrambled[0].text), "secret");
  EXPECT_EQ(zmo::zmodecrypt(kOtherKeyText), nullptr);
}

TEST_F(GdLibBindingTest, FirstPasswordLoadsTheLibraryLaterOnesReuseIt) {
  struct Case {
    zmo::ConsoleProgramConfig program;
    std::vector<std::string> trace;
  };
  const Case cases[] = {
      {zmo::StatiProgramConfig(), {Loaded()}},
      {zmo::SnapProgramConfig(), {"zmodecrypt() Loading zmogdlib", Loaded()}},
  };
  for (const Case& c : cases) {
    zmo::ResetConsoleRuntime();
    zmo::Runtime().program_dir = dir_.File(c.program.program);
    ASSERT_EQ(mkdir(zmo::Runtime().program_dir.c_str(), 0755), 0);
    Use(c.program);
    EXPECT_STREQ(zmo::zmodecrypt(kScrambled[0].text), "secret");
    EXPECT_STREQ(zmo::zmodecrypt(kScrambled[1].text), "Pa55word!x");
    EXPECT_EQ(TraceTexts(), c.trace) << c.program.program;
  }
}

TEST_F(GdLibBindingTest, BinDirWithOrWithoutItsSeparatorGivesOnePath) {
  for (const std::string& dir :
       {std::string(ZMO_TEST_BIN_DIR), std::string(ZMO_TEST_BIN_DIR "/")}) {
    zmo::ResetGdLibBinding();
    zmo::setGdLibDirectory(dir.c_str());
    EXPECT_EQ(zmo::zmoLoaderGdLib(), 0) << dir;
  }
  std::vector<std::string> texts = TraceTexts();
  ASSERT_THAT(texts, SizeIs(2u));
  EXPECT_EQ(texts[0], Loaded());
  EXPECT_EQ(texts[1], texts[0]);
}

TEST_F(GdLibBindingTest, MissingLibraryIsTracedAndTriedAgainNextTime) {
  zmo::setGdLibDirectory(dir_.path().c_str());
  EXPECT_EQ(zmo::zmodecrypt(kScrambled[0].text), nullptr);
  EXPECT_EQ(zmo::zmoLoaderGdLib(), 1);
  std::string line = "zmoLoaderGdLib() could NOT load <" + dir_.File(zmo::kGdLibName) + ">";
  EXPECT_THAT(TraceTexts(), ElementsAre(line, line));
  zmo::setGdLibDirectory(ZMO_TEST_BIN_DIR);
  EXPECT_STREQ(zmo::zmodecrypt(kScrambled[0].text), "secret");
}

TEST_F(GdLibBindingTest, FreeForgetsTheLibrarySoTheNextDecryptLoadsItAgain) {
  EXPECT_EQ(zmo::zmoLoaderFreeGdLib(), 1);  // nothing loaded yet
  ASSERT_STREQ(zmo::zmodecrypt(kScrambled[0].text), "secret");
  EXPECT_EQ(zmo::zmoLoaderFreeGdLib(), 0);
  EXPECT_FALSE(zmo::GdLibLoaded());
  EXPECT_EQ(zmo::Runtime().gdlib.decrypt, nullptr);
  EXPECT_STREQ(zmo::zmodecrypt(kScrambled[2].text), "a");
  std::string loaded = Loaded();
  EXPECT_THAT(TraceTexts(), ElementsAre("zmoLoaderFreeGdLib() returned unsuccessfully", loaded,
                                        "zmoLoaderFreeGdLib() returned successfully", loaded));
}

// The lines a program's own writer received.
std::vector<std::string> g_own_lines;
int OwnWriter(const char* format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  g_own_lines.push_back(line);
  return 0;
}

// A program with a writer of its own (the loader) gets every line of the
// binding there, the "trying" line before each load included, and none in
// the trace log.
TEST_F(GdLibBindingTest, OwnWriterTakesEveryLineOfTheBinding) {
  zmo::ConsoleProgramConfig program;
  program.decrypt_resolve = zmo::DecryptResolve::kAtLoadOnly;
  program.gdlib_trace = OwnWriter;
  program.trace_gdlib_trying = true;
  Use(program);
  g_own_lines.clear();
  EXPECT_EQ(zmo::zmoLoaderGdLib(), 0);
  EXPECT_STREQ(zmo::zmodecrypt(kScrambled[0].text), "secret");
  EXPECT_EQ(zmo::zmoLoaderFreeGdLib(), 0);
  zmo::setGdLibDirectory(dir_.path().c_str());
  EXPECT_EQ(zmo::zmoLoaderGdLib(), 1);
  const std::string missing = dir_.File(zmo::kGdLibName);
  EXPECT_THAT(g_own_lines,
              ElementsAre("zmoLoaderGdLib() trying <" + LibraryPath() + ">\n", Loaded() + "\n",
                          "zmoLoaderFreeGdLib() returned successfully\n",
                          "zmoLoaderGdLib() trying <" + missing + ">\n",
                          "zmoLoaderGdLib() could NOT load <" + missing + ">\n"));
  EXPECT_THAT(TraceTexts(), IsEmpty());
}

// A stand-in entry, to tell whether the binding looks Decrypt up again.
int FakeDecrypt(const char*, const char*, char* out) {
  std::strcpy(out, "fake");
  return 4;
}

TEST_F(GdLibBindingTest, StatiLooksDecryptUpEveryCallSnapOnlyAtLoad) {
  struct Case {
    zmo::ConsoleProgramConfig program;
    const char* second;
  };
  const Case cases[] = {{zmo::StatiProgramConfig(), "secret"}, {zmo::SnapProgramConfig(), "fake"}};
  for (const Case& c : cases) {
    zmo::ResetGdLibBinding();
    Use(c.program);
    ASSERT_STREQ(zmo::zmodecrypt(kScrambled[0].text), "secret");
    zmo::Runtime().gdlib.decrypt = FakeDecrypt;
    EXPECT_STREQ(zmo::zmodecrypt(kScrambled[0].text), c.second) << c.program.program;
  }
}

TEST_F(GdLibBindingTest, StopRequestDuringDecryptionsNeverPullsTheLibraryAway) {
  constexpr int kRounds = 300;
  zmo::SetTraceSwitch(0);
  std::atomic<bool> done{false};
  std::atomic<int> wrong{0};
  std::thread service([&] {
    for (int i = 0; i < kRounds; ++i) {
      const char* clear = zmo::zmodecrypt(kScrambled[1].text);
      if (clear == nullptr || std::strcmp(clear, "Pa55word!x") != 0) ++wrong;
    }
    done = true;
  });
  // At least one stop, even when a busy machine lets the service thread
  // finish all its rounds before this thread runs.
  do {
    zmo::serviceStopRequest();
  } while (!done);
  service.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(zmo::DisconnectFlag(), 1);
}

}  // namespace
