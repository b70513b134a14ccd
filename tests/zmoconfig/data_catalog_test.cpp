// The configurator's message texts: the built-in English table, the catalog
// of the user's language, texts longer than the old 254-character buffer and
// the text look-up LocalizeForm does for each kind of control.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "catalog/catalog_table.h"
#include "data_fixture.h"
#include "zmo_test/scoped.h"
#include "zmoconfig/catalog.h"

using namespace zmo::config;

namespace {

using zmoconfig_test::DataTest;

const char kText1336[] =
    "Use this section to configure options for filtering data retrieved. Programs to exclude "
    "allows you to remove programs from the daily aggregation. IDs to exclude allows you to "
    "remove IDs from the daily aggregation. Transactions to exclude allows for removal of "
    "transactions from the daily aggregation.";

class CatalogTest : public DataTest {
 protected:
  CatalogTest()
      : lang_("LANG", "C"), all_("LC_ALL", std::nullopt), messages_("LC_MESSAGES", std::nullopt) {
    std::filesystem::create_directories(CatalogDir());
    SetCatalogDirectory(CatalogDir());
  }
  ~CatalogTest() override { SetCatalogDirectory(""); }

  std::string CatalogDir() const { return dir_ / "catalogs"; }
  // A catalog file in which every text names its language.
  void WriteCatalog(const std::string& abbr, const std::string& extra = "") const {
    zmo_test::WriteFile(CatalogDir() + "/zmocat" + abbr + ".cat",
                        "1200\tOK-" + abbr + "\n1400\tTitle-" + abbr + "\n" + extra);
  }

  zmo_test::ScopedEnv lang_;
  zmo_test::ScopedEnv all_;
  zmo_test::ScopedEnv messages_;
};

TEST_F(CatalogTest, BuiltInEnglishWithoutACatalog) {
  EXPECT_FALSE(LoadCatalog());
  EXPECT_FALSE(CatalogLoaded());
  EXPECT_EQ(LoadResString(1200), "OK");
  EXPECT_EQ(LoadResString(1402), "KQZ7001E Error encountered ");
  EXPECT_EQ(LoadResString(1403), "KQZ7002E  Error number = ");
  EXPECT_EQ(LoadResString(1452), "KQZ7049I Kestrel Velmar Fieldwatch 5.1.0 - Orvane Suite");
  EXPECT_EQ(LoadResString(1007), "");  // an id that does not exist
  EXPECT_EQ(LoadResString(0), "");
}

TEST_F(CatalogTest, Text1336IsNotCut) {
  ASSERT_EQ(std::string(kText1336).size(), 300u);
  EXPECT_EQ(LoadResString(1336), kText1336);
  // The same from the English catalog file.
  std::filesystem::copy_file(std::string(ZMO_TEST_BIN_DIR) + "/zmocatENU.cat",
                             CatalogDir() + "/zmocatENU.cat");
  ASSERT_TRUE(LoadCatalog());
  EXPECT_EQ(LoadResString(1336), kText1336);
  EXPECT_EQ(LoadResString(1200), "OK");
}

TEST_F(CatalogTest, LongTextsOfAnyLengthComeWhole) {
  const std::string long_text(5000, 'x');
  WriteCatalog("ENU", "1300\t" + long_text + "\n1301\t" + std::string(511, 'y') + "\n");
  ASSERT_TRUE(LoadCatalog());
  EXPECT_EQ(LoadResString(1300), long_text);
  EXPECT_EQ(LoadResString(1301), std::string(511, 'y'));
}

struct LocaleCase {
  const char* lang;
  std::vector<std::string> files;  // catalogs present
  const char* ok_text;             // the text of 1200 then read
};

void PrintTo(const LocaleCase& c, std::ostream* os) { *os << c.lang << " -> " << c.ok_text; }

class CatalogLocaleTest : public CatalogTest, public ::testing::WithParamInterface<LocaleCase> {};

TEST_P(CatalogLocaleTest, LanguageThenDefaultSublanguageThenEnglish) {
  const LocaleCase& c = GetParam();
  for (const std::string& f : c.files) WriteCatalog(f);
  zmo_test::ScopedEnv lang("LANG", std::string(c.lang));
  ASSERT_TRUE(LoadCatalog());
  EXPECT_EQ(LoadResString(1200), c.ok_text);
  EXPECT_EQ(LoadResString(1201), "") << "an id the catalog lacks is empty";
}

INSTANTIATE_TEST_SUITE_P(Locales, CatalogLocaleTest,
                         ::testing::Values(LocaleCase{"de_DE.UTF-8", {"DEU", "ENU"}, "OK-DEU"},
                                           LocaleCase{
                                               "de_CH.UTF-8", {"DES", "DEU", "ENU"}, "OK-DES"},
                                           // Swiss German without its own catalog: German.
                                           LocaleCase{"de_CH.UTF-8", {"DEU", "ENU"}, "OK-DEU"},
                                           LocaleCase{"de_AT", {"ENU"}, "OK-ENU"},
                                           LocaleCase{"fr_FR", {"DEU", "ENU"}, "OK-ENU"},
                                           LocaleCase{"C", {"DEU", "ENU"}, "OK-ENU"}));

TEST_F(CatalogTest, NoCatalogIsTriedAgainOnTheNextCall) {
  EXPECT_FALSE(LoadCatalog());
  EXPECT_EQ(LoadResString(1400), "Kestrel Velmar Fieldwatch, Version 5.1.0 - Orvane Suite");
  WriteCatalog("ENU");
  EXPECT_TRUE(LoadCatalog());
  EXPECT_EQ(LoadResString(1400), "Title-ENU");
  // Once loaded, the catalog stays.
  std::filesystem::remove(CatalogDir() + "/zmocatENU.cat");
  EXPECT_TRUE(LoadCatalog());
  EXPECT_EQ(LoadResString(1400), "Title-ENU");
}

TEST_F(CatalogTest, TextsReachTheWidgetsAsUtf8) {
  WriteCatalog("ENU",
               "1300\tPreis \x80 5, Gr\xFC\xDF"
               "e \x93quoted\x94\n");
  ASSERT_TRUE(LoadCatalog());
  EXPECT_EQ(LoadResString(1300),
            "Preis \x80 5, Gr\xFC\xDF"
            "e \x93quoted\x94");
  EXPECT_EQ(LoadResStringUtf8(1300), "Preis \u20AC 5, Gr\u00FC\u00DFe \u201Cquoted\u201D");
}

TEST(CatalogIdTest, NumberValueOfAProperty) {
  struct Case {
    const char* text;
    int id;
  };
  const Case cases[] = {{"1200", 1200}, {" 1200", 1200}, {"1200abc", 1200}, {"CLEAR", 0}, {"", 0},
                        {"0", 0},       {"-5", 0},       {"99999999", 0},   {"&File", 0}};
  for (const Case& c : cases) EXPECT_EQ(CatalogIdValue(c.text), c.id) << c.text;
}

TEST_F(CatalogTest, LocalizedTextByKindOfControl) {
  struct Case {
    const char* id_text;
    LocalizeKind kind;
    bool replaced;
    const char* text;
  };
  const Case cases[] = {
      {"1200", LocalizeKind::kWhenId, true, "OK"},  // a command button's Tag
      {"CLEAR", LocalizeKind::kWhenId, false, ""},  // a text box keeps its text
      {"0", LocalizeKind::kWhenId, false, ""},
      {"", LocalizeKind::kWhenId, false, ""},
      {"1000", LocalizeKind::kAlways, true, "&File"},  // a menu's Caption
      {"1400", LocalizeKind::kAlways, true,
       "Kestrel Velmar Fieldwatch, Version 5.1.0 - Orvane Suite"},
      {"Label1", LocalizeKind::kAlways, true, ""},  // no number: the empty text
      {"1007", LocalizeKind::kAlways, true, ""},    // no such id
      {"1007", LocalizeKind::kWhenId, true, ""},
  };
  for (const Case& c : cases) {
    std::string text = "designed";
    EXPECT_EQ(LocalizedText(c.id_text, c.kind, &text), c.replaced) << c.id_text;
    EXPECT_EQ(text, c.replaced ? c.text : "designed") << c.id_text;
  }
}

}  // namespace
