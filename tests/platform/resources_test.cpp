#include "platform/resources.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"

namespace {

class CatalogFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/zmo_resources_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }

  std::string Write(const char* name, const std::string& data) {
    std::string path = zmo::JoinPath(dir_, name);
    EXPECT_EQ(zmo::WriteFileAtomic(path, data), 0);
    return path;
  }
  static HMODULE Open(const std::string& path) {
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  // The text of id as LoadStringA gives it into a buffer of 256.
  static std::string Text(HMODULE m, UINT id) {
    char buf[256];
    int n = LoadStringA(m, id, buf, sizeof(buf));
    EXPECT_EQ(n, static_cast<int>(std::strlen(buf)));
    return std::string(buf, static_cast<size_t>(n));
  }

  std::string dir_;
};

constexpr char kSample[] =
    "# comment line\n"
    "\n"
    "1000\t&File\n"
    "1402\tKQZ7001E Error encountered \n"
    "1403\tKQZ7002E  Error number = \n"
    "7\t\n"
    "65535\tlast\n";

struct LoadCase {
  UINT id;
  int size;
  int result;
  const char* text;  // buffer contents after the call
};

TEST_F(CatalogFileTest, LoadStringCopiesAtMostSizeMinusOneAndEndsWithNul) {
  HMODULE m = Open(Write("zmocatENU.cat", kSample));
  ASSERT_NE(m, nullptr);
  const LoadCase cases[] = {
      {1000, 255, 5, "&File"},
      {1000, 6, 5, "&File"},                           // exactly fits with its NUL
      {1000, 5, 4, "&Fil"},                            // one short: cut, still ended
      {1000, 1, 0, ""},                                // room for the NUL only
      {1402, 255, 27, "KQZ7001E Error encountered "},  // trailing blank kept
      {1403, 255, 25, "KQZ7002E  Error number = "},    // double blank kept
      {7, 255, 0, ""},                                 // present but empty
      {65535, 255, 4, "last"},
      {1001, 255, 0, ""},  // missing id reads as empty
      {0, 255, 0, ""},
      {65536 + 1000, 255, 0, ""},  // beyond 16 bits: no alias of 1000
  };
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "id " << c.id << " size " << c.size);
    std::vector<char> buf(static_cast<size_t>(c.size) + 8, 'X');
    EXPECT_EQ(LoadStringA(m, c.id, buf.data(), c.size), c.result);
    EXPECT_STREQ(buf.data(), c.text);
    // Nothing is written past the size given.
    EXPECT_EQ(std::string(buf.data() + c.size, 8), std::string(8, 'X'));
  }
  EXPECT_EQ(FreeLibrary(m), TRUE);
}

TEST_F(CatalogFileTest, MissingIdSetsResourceNotFound) {
  HMODULE m = Open(Write("c.cat", kSample));
  ASSERT_NE(m, nullptr);
  char buf[16] = "stale";
  SetLastError(0);
  EXPECT_EQ(LoadStringA(m, 1001, buf, sizeof(buf)), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_STREQ(buf, "");
  FreeLibrary(m);
}

TEST_F(CatalogFileTest, BadBufferArgumentsWriteNothing) {
  HMODULE m = Open(Write("c.cat", kSample));
  ASSERT_NE(m, nullptr);
  for (int size : {0, -1, INT_MIN}) {
    SCOPED_TRACE(size);
    char buf[8] = "keep";
    SetLastError(0);
    EXPECT_EQ(LoadStringA(m, 1000, buf, size), 0);
    EXPECT_STREQ(buf, "keep");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
  EXPECT_EQ(LoadStringA(m, 1000, nullptr, 255), 0);
  FreeLibrary(m);
}

TEST_F(CatalogFileTest, ModulesWithoutStringsGiveTheEmptyText) {
  char buf[16] = "stale";
  SetLastError(0);
  EXPECT_EQ(LoadStringA(nullptr, 1000, buf, sizeof(buf)), 0);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  // A shared object (the C library every process has loaded) has no texts.
  HMODULE so = LoadLibraryA("libc.so.6");
  ASSERT_NE(so, nullptr);
  std::strcpy(buf, "stale");
  EXPECT_EQ(LoadStringA(so, 1000, buf, sizeof(buf)), 0);
  EXPECT_STREQ(buf, "");
  FreeLibrary(so);
}

TEST_F(CatalogFileTest, EscapesAndWindows1252BytesAreExact) {
  std::string data =
      "1\tback\\\\slash\n"
      "2\ttab\\there\n"
      "3\tline\\r\\nbreak\n"
      "4\tcaf\xE9 \x80 \xA9\n"  // Windows-1252 bytes pass through
      "5\t\\\\t is not a tab\n"
      "6\t  lead and trail  \n";
  HMODULE m = Open(Write("c.cat", data));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(Text(m, 1), "back\\slash");
  EXPECT_EQ(Text(m, 2), "tab\there");
  EXPECT_EQ(Text(m, 3), "line\r\nbreak");
  EXPECT_EQ(Text(m, 4), "caf\xE9 \x80 \xA9");
  EXPECT_EQ(Text(m, 5), "\\t is not a tab");
  EXPECT_EQ(Text(m, 6), "  lead and trail  ");
  FreeLibrary(m);
}

TEST_F(CatalogFileTest, MalformedCatalogIsRefused) {
  struct Case {
    const char* what;
    std::string data;
  } cases[] = {
      {"empty file", ""},
      {"comments only", "# nothing\n\n"},
      {"no tab", "1000 &File\n"},
      {"no id", "\t&File\n"},
      {"id not a number", "10a0\t&File\n"},
      {"blank before id", " 1000\t&File\n"},
      {"negative id", "-1\t&File\n"},
      {"id beyond 16 bits", "65536\t&File\n"},
      {"six-digit id", "001000\t&File\n"},
      {"duplicate id", "1000\ta\n1000\tb\n"},
      {"unknown escape", "1000\t\\x41\n"},
      {"backslash at end", "1000\tend\\\n"},
      {"raw CR (CR LF line ends)", "1000\t&File\r\n"},
      {"raw tab in text", "1000\ta\tb\n"},
      {"NUL byte", std::string("1000\ta\0b\n", 9)},
      {"last line cut off", "1000\t&File\n1001\t&Log"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetLastError(0);
    EXPECT_EQ(Open(Write("bad.cat", c.data)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  }
}

TEST_F(CatalogFileTest, LeadingZerosAndCommentsAreAccepted) {
  HMODULE m = Open(Write("c.cat", "#x\n01000\tA\n\n# 1001\tnot an entry\n"));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(Text(m, 1000), "A");
  EXPECT_EQ(Text(m, 1001), "");
  FreeLibrary(m);
}

TEST_F(CatalogFileTest, OpenFailures) {
  SetLastError(0);
  EXPECT_EQ(Open(zmo::JoinPath(dir_, "zmocatDEU.cat")), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(Open(dir_), nullptr);  // a directory is no catalog
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(LoadLibraryExA(nullptr, nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(LoadLibraryExA("", nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  int dummy = 0;
  std::string good = Write("c.cat", kSample);
  EXPECT_EQ(LoadLibraryExA(good.c_str(), &dummy, LOAD_LIBRARY_AS_DATAFILE), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(CatalogFileTest, WithoutTheDataFlagItIsLoadLibraryA) {
  std::string path = Write("c.cat", kSample);
  SetLastError(0);
  EXPECT_EQ(LoadLibraryExA(path.c_str(), nullptr, 0), nullptr);  // not a shared object
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  HMODULE so = LoadLibraryExA("libc.so.6", nullptr, 0);
  ASSERT_NE(so, nullptr);
  EXPECT_NE(GetProcAddress(so, "strlen"), nullptr);
  FreeLibrary(so);
}

TEST_F(CatalogFileTest, FileNameIsMatchedWithoutRegardToCase) {
  Write("zmocatENU.cat", kSample);
  for (const char* name : {"zmocatENU.cat", "zmocatenu.cat", "ZMOCATENU.CAT", "ZmoCatEnu.Cat"}) {
    SCOPED_TRACE(name);
    HMODULE m = Open(zmo::JoinPath(dir_, name));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(Text(m, 1000), "&File");
    FreeLibrary(m);
  }
  // The directory part is an ordinary Linux path; only the name is matched.
  ASSERT_EQ(mkdir(zmo::JoinPath(dir_, "Sub").c_str(), 0700), 0);
  Write("Sub/zmocatENU.cat", kSample);
  EXPECT_EQ(Open(zmo::JoinPath(dir_, "sub/zmocatENU.cat")), nullptr);
}

TEST_F(CatalogFileTest, ExactNameWinsOverOneDifferingInCase) {
  Write("zmocatENU.cat", "1\tupper\n");
  Write("zmocatenu.cat", "1\tlower\n");
  Write("ZMOCATENU.CAT", "1\tcaps\n");
  for (const auto& [name, text] : std::vector<std::pair<const char*, const char*>>{
           {"zmocatENU.cat", "upper"},
           {"zmocatenu.cat", "lower"},
           {"ZMOCATENU.CAT", "caps"},
           {"ZmoCatEnu.cat", "caps"}}) {  // else the first in byte order
    SCOPED_TRACE(name);
    HMODULE m = Open(zmo::JoinPath(dir_, name));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(Text(m, 1), text);
    FreeLibrary(m);
  }
}

TEST_F(CatalogFileTest, BareNameIsFoundInTheCurrentDirectory) {
  Write("zmocatENU.cat", kSample);
  char old[PATH_MAX];
  ASSERT_NE(getcwd(old, sizeof(old)), nullptr);
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  HMODULE m = Open("zmocatenu.cat");
  HMODULE missing = Open("zmocatDEU.cat");
  ASSERT_EQ(chdir(old), 0);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(Text(m, 1000), "&File");
  FreeLibrary(m);
  EXPECT_EQ(missing, nullptr);
}

// Sets LC_ALL, LC_MESSAGES and LANG (nullopt: unset) and restores them after.
class ScopedLocaleEnv {
 public:
  ScopedLocaleEnv(std::optional<std::string> all, std::optional<std::string> messages,
                  std::optional<std::string> lang) {
    for (int i = 0; i < 3; ++i) {
      const char* old = std::getenv(kVars[i]);
      saved_[i] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    Set(0, all);
    Set(1, messages);
    Set(2, lang);
  }
  ~ScopedLocaleEnv() {
    for (int i = 0; i < 3; ++i) Set(i, saved_[i]);
  }

 private:
  static void Set(int i, const std::optional<std::string>& value) {
    if (value) {
      setenv(kVars[i], value->c_str(), 1);
    } else {
      unsetenv(kVars[i]);
    }
  }
  static constexpr const char* kVars[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  std::optional<std::string> saved_[3];
};

std::string AbbrevName(LCID locale) {
  char buf[100] = "";
  int n = GetLocaleInfoA(locale, LOCALE_SABBREVLANGNAME, buf, sizeof(buf));
  EXPECT_EQ(n, n > 0 ? static_cast<int>(std::strlen(buf)) + 1 : 0);
  return buf;
}

struct LocaleCase {
  const char* lang_env;  // LANG, with LC_ALL and LC_MESSAGES unset
  LANGID lang;
  const char* abbr;
  const char* default_abbr;  // of the same language with SUBLANG_DEFAULT
};

TEST(LocaleTest, ProcessLocaleGivesLanguageIdAndAbbreviation) {
  const LocaleCase cases[] = {
      {"C", 0x0409, "ENU", "ENU"},
      {"POSIX", 0x0409, "ENU", "ENU"},
      {"C.UTF-8", 0x0409, "ENU", "ENU"},
      {"en", 0x0409, "ENU", "ENU"},
      {"en_US.UTF-8", 0x0409, "ENU", "ENU"},
      {"en_GB.ISO-8859-1", 0x0809, "ENG", "ENU"},
      {"EN_gb", 0x0809, "ENG", "ENU"},
      {"de_DE.UTF-8", 0x0407, "DEU", "DEU"},
      {"de_AT@euro", 0x0C07, "DEA", "DEU"},
      {"de_CH", 0x0807, "DES", "DEU"},
      {"de_BE", 0x0407, "DEU", "DEU"},  // region unknown: the language's own
      {"fr_FR", 0x040C, "FRA", "FRA"},
      {"fr_CA.UTF-8", 0x0C0C, "FRC", "FRA"},
      {"it_IT", 0x0410, "ITA", "ITA"},
      {"es_ES.UTF-8", 0x0C0A, "ESN", "ESP"},
      {"es", 0x040A, "ESP", "ESP"},
      {"es_MX", 0x080A, "ESM", "ESP"},
      {"ja_JP.eucJP", 0x0411, "JPN", "JPN"},
      {"ko_KR", 0x0412, "KOR", "KOR"},
      {"pt_BR", 0x0416, "PTB", "PTB"},
      {"pt_PT", 0x0816, "PTG", "PTB"},
      {"nl_NL", 0x0413, "NLD", "NLD"},
      {"nl_BE", 0x0813, "NLB", "NLD"},
      {"sv_SE", 0x041D, "SVE", "SVE"},
      {"da_DK", 0x0406, "DAN", "DAN"},
      {"fi_FI", 0x040B, "FIN", "FIN"},
      {"nb_NO", 0x0414, "NOR", "NOR"},
      {"no_NO", 0x0414, "NOR", "NOR"},
      {"nn_NO", 0x0814, "NON", "NOR"},
      {"zh_CN.GB18030", 0x0804, "CHS", "CHT"},
      {"zh_TW", 0x0404, "CHT", "CHT"},
      {"xx_YY", 0x0409, "ENU", "ENU"},  // unknown language: English
      {"", 0x0409, "ENU", "ENU"},
  };
  for (const LocaleCase& c : cases) {
    SCOPED_TRACE(c.lang_env);
    ScopedLocaleEnv env(std::nullopt, std::nullopt, c.lang_env);
    EXPECT_EQ(GetUserDefaultLangID(), c.lang);
    EXPECT_EQ(GetThreadLocale(), static_cast<LCID>(c.lang));
    EXPECT_EQ(AbbrevName(LOCALE_USER_DEFAULT), c.abbr);
    EXPECT_EQ(AbbrevName(LOCALE_SYSTEM_DEFAULT), c.abbr);
    EXPECT_EQ(AbbrevName(GetThreadLocale()), c.abbr);
    // The catalog loaders' second try: primary language, default sublanguage.
    EXPECT_EQ(AbbrevName((GetUserDefaultLangID() & 0x3FF) | 0x400), c.default_abbr);
  }
}

TEST(LocaleTest, FirstNonEmptyOfLcAllLcMessagesLang) {
  struct Case {
    std::optional<std::string> all, messages, lang;
    const char* abbr;
  } cases[] = {
      {"it_IT", "de_DE", "fr_FR", "ITA"},
      {"", "de_DE", "fr_FR", "DEU"},
      {std::nullopt, "de_DE", "fr_FR", "DEU"},
      {"", "", "fr_FR", "FRA"},
      {std::nullopt, std::nullopt, "fr_FR", "FRA"},
      {"C", "de_DE", "fr_FR", "ENU"},  // an explicit C locale is English
      {std::nullopt, std::nullopt, std::nullopt, "ENU"},
  };
  for (const Case& c : cases) {
    ScopedLocaleEnv env(c.all, c.messages, c.lang);
    EXPECT_EQ(AbbrevName(LOCALE_USER_DEFAULT), c.abbr);
  }
}

TEST(LocaleTest, EnvironmentIsRestored) {
  setenv("LANG", "sv_SE", 1);
  {
    ScopedLocaleEnv env(std::nullopt, std::nullopt, "de_DE");
    EXPECT_EQ(AbbrevName(LOCALE_USER_DEFAULT), "DEU");
  }
  ASSERT_NE(std::getenv("LANG"), nullptr);
  EXPECT_STREQ(std::getenv("LANG"), "sv_SE");
  unsetenv("LANG");
}

TEST(LocaleTest, GetLocaleInfoSizesAndFailures) {
  ScopedLocaleEnv env("de_DE.UTF-8", std::nullopt, std::nullopt);
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, nullptr, 0), 4);

  char buf[8] = "xxxxxxx";
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, buf, 4), 4);
  EXPECT_STREQ(buf, "DEU");

  std::strcpy(buf, "xxxxxxx");
  SetLastError(0);
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, buf, 3), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_STREQ(buf, "xxxxxxx");

  // The sort order in the high word does not change the language.
  EXPECT_EQ(AbbrevName(0x00010407), "DEU");
  EXPECT_EQ(AbbrevName(0x0C07), "DEA");

  struct Bad {
    LCID locale;
    LCTYPE type;
    LPSTR data;
    int size;
  } bad[] = {
      {0x0401, LOCALE_SABBREVLANGNAME, buf, 8},  // a language the table lacks
      {LOCALE_USER_DEFAULT, 0x0002, buf, 8},     // another LCTYPE
      {LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, buf, -1},
      {LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, nullptr, 8},
  };
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.locale);
    std::strcpy(buf, "xxxxxxx");
    SetLastError(0);
    EXPECT_EQ(GetLocaleInfoA(b.locale, b.type, b.data, b.size), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_STREQ(buf, "xxxxxxx");
  }
}

}  // namespace
