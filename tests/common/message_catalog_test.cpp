#include "common/message_catalog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "test_support.h"

namespace {

using ::testing::ElementsAre;

// Sets the process locale through LC_ALL for one scope.
class ScopedLocale {
 public:
  explicit ScopedLocale(const char* locale) {
    for (const char* var : {"LC_MESSAGES", "LANG"}) unsetenv(var);
    setenv("LC_ALL", locale, 1);
  }
  ~ScopedLocale() { unsetenv("LC_ALL"); }
};

class MessageCatalogTest : public zmo_test::RuntimeTest {
 protected:
  void PutCatalog(const char* name, const char* text) {
    ASSERT_EQ(zmo::WriteFileAtomic(dir_.File(name), std::string("1000\t") + text + "\n"), 0);
  }
  std::string Text(UINT id) {
    char buf[128];
    LoadStringA(zmo::Catalog(), id, buf, sizeof(buf));
    return buf;
  }
  std::string In(const char* name) { return "<" + dir_.File(name) + ">"; }
};

TEST_F(MessageCatalogTest, NamesFollowTheLocaleThenItsDefaultThenEnglish) {
  struct Case {
    const char* locale;
    const char* first;
    const char* second;
  };
  const Case cases[] = {
      {"de_AT.UTF-8", "zmocatDEA.cat", "zmocatDEU.cat"},
      {"de_DE", "zmocatDEU.cat", "zmocatDEU.cat"},
      {"es_ES", "zmocatESN.cat", "zmocatESP.cat"},
      {"C", "zmocatENU.cat", "zmocatENU.cat"},
      {"xx_YY", "zmocatENU.cat", "zmocatENU.cat"},
  };
  for (const Case& c : cases) {
    ScopedLocale locale(c.locale);
    std::string names[zmo::kCatalogNames];
    zmo::catalogNames(names);
    EXPECT_EQ(names[0], c.first) << c.locale;
    EXPECT_EQ(names[1], c.second) << c.locale;
    EXPECT_EQ(names[2], "zmocatenu.cat") << c.locale;
  }
}

TEST_F(MessageCatalogTest, EnglishIsFoundWhateverTheCaseOfItsName) {
  ScopedLocale locale("de_DE");
  PutCatalog("zmocatENU.cat", "English");
  EXPECT_EQ(zmo::loadLang(), 0);
  ASSERT_NE(zmo::Catalog(), nullptr);
  EXPECT_EQ(Text(1000), "English");
  EXPECT_THAT(TraceTexts(), ElementsAre("zmostatiLoadLang() trying " + In("zmocatDEU.cat"),
                                        "zmostatiLoadLang() trying " + In("zmocatDEU.cat"),
                                        "zmostatiLoadLang() trying " + In("zmocatenu.cat"),
                                        "zmostatiLoadLang() loaded " + In("zmocatenu.cat")));
}

TEST_F(MessageCatalogTest, TheUsersLanguageComesFirst) {
  ScopedLocale locale("de_AT");
  PutCatalog("zmocatENU.cat", "English");
  PutCatalog("zmocatDEU.cat", "Deutsch");
  zmo::SetConsoleProgram(zmo::SnapProgramConfig());
  zmo::SetTraceSwitch(1);
  zmo::loadLang();
  EXPECT_EQ(Text(1000), "Deutsch");
  EXPECT_THAT(TraceTexts(), ElementsAre("zmosnapLoadLang() trying " + In("zmocatDEA.cat"),
                                        "zmosnapLoadLang() trying " + In("zmocatDEU.cat"),
                                        "zmosnapLoadLang() loaded " + In("zmocatDEU.cat")));
}

TEST_F(MessageCatalogTest, NoCatalogAtAllLeavesNoneAndSaysSo) {
  ScopedLocale locale("C");
  EXPECT_EQ(zmo::loadLang(), 0);
  EXPECT_EQ(zmo::Catalog(), nullptr);
  EXPECT_THAT(TraceTexts(),
              ElementsAre("zmostatiLoadLang() trying " + In("zmocatENU.cat"),
                          "zmostatiLoadLang() trying " + In("zmocatENU.cat"),
                          "zmostatiLoadLang() trying " + In("zmocatenu.cat"),
                          "zmostatiLoadLang() Could not load dll " + In("zmocatenu.cat")));
  EXPECT_EQ(zmo::freeLang(), 1);
}

TEST_F(MessageCatalogTest, LoadingAgainReplacesTheCatalogAndFreeForgetsIt) {
  ScopedLocale locale("C");
  PutCatalog("zmocatENU.cat", "first");
  zmo::loadLang();
  PutCatalog("zmocatENU.cat", "second");
  zmo::loadLang();
  EXPECT_EQ(Text(1000), "second");
  EXPECT_EQ(zmo::freeLang(), 0);
  EXPECT_EQ(zmo::Catalog(), nullptr);
  EXPECT_EQ(zmo::freeLang(), 1);
}

TEST_F(MessageCatalogTest, TheBuiltCatalogIsFoundInBinDirWithoutTracing) {
  ScopedLocale locale("C");
  zmo::SetTraceSwitch(0);
  zmo::CatalogLookup lookup;
  lookup.dir = ZMO_TEST_BIN_DIR;
  HINSTANCE catalog = zmo::loadMessageCatalog(lookup);
  ASSERT_NE(catalog, nullptr);
  char buf[128];
  EXPECT_GT(LoadStringA(catalog, 1488, buf, sizeof(buf)), 0);
  EXPECT_EQ(std::string(buf).find("auto loader started"), std::string(buf).size() - 19);
  FreeLibrary(catalog);
}

}  // namespace
