#include "catalog/catalog_table.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "platform/files.h"
#include "platform/resources.h"

namespace {

constexpr int kReadBuffer = 255;  // the callers' buffer, NUL included

std::string ReadOrFail(const std::string& path) {
  std::string data;
  EXPECT_EQ(zmo::ReadWholeFile(path, &data), 0) << path;
  return data;
}

// The ids of the catalog: the ranges of the id scheme less the ids that do
// not exist. 1515-1520 are the configurator's refusals of input that the
// collectors and the loader could not use; 1521-1522 the failed-load lines
// of the summary logs.
std::set<int> SchemeIds() {
  const int ranges[][2] = {{1000, 1041}, {1100, 1136}, {1200, 1208}, {1300, 1369}, {1400, 1522}};
  const std::set<int> absent = {1007, 1010, 1013, 1016, 1040, 1125, 1128, 1131, 1134, 1334, 1404};
  std::set<int> ids;
  for (const auto& r : ranges) {
    for (int id = r[0]; id <= r[1]; ++id) {
      if (!absent.count(id)) ids.insert(id);
    }
  }
  return ids;
}

TEST(CatalogTableTest, GeneratedTableHoldsExactlyTheFilesTexts) {
  HMODULE file = LoadLibraryExA(ZMO_CATALOG_SOURCE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(file, nullptr) << GetLastError();
  int found = 0;
  for (UINT id = 0; id <= 0xFFFF; ++id) {
    char buf[4096];
    SetLastError(0);
    int n = LoadStringA(file, id, buf, sizeof(buf));
    bool in_file = GetLastError() != static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND);
    const char* text = zmoCatalogText(static_cast<int>(id));
    ASSERT_EQ(in_file, text != nullptr) << "id " << id;
    if (!text) continue;
    ++found;
    EXPECT_EQ(std::string(text), std::string(buf, static_cast<size_t>(n))) << "id " << id;
  }
  FreeLibrary(file);
  EXPECT_EQ(found, zmoCatalogEntryCount);
  for (int i = 1; i < zmoCatalogEntryCount; ++i) {
    EXPECT_LT(zmoCatalogEntries[i - 1].id, zmoCatalogEntries[i].id) << "entry " << i;
  }
}

TEST(CatalogTableTest, CatalogBesideTheProgramsIsTheSourceFile) {
  std::string source = ReadOrFail(ZMO_CATALOG_SOURCE);
  ASSERT_FALSE(source.empty());
  EXPECT_EQ(ReadOrFail(zmo::JoinPath(ZMO_TEST_BIN_DIR, "zmocatENU.cat")), source);
}

TEST(CatalogTableTest, IdsAreThoseOfTheIdScheme) {
  std::set<int> ids;
  for (int i = 0; i < zmoCatalogEntryCount; ++i) ids.insert(zmoCatalogEntries[i].id);
  EXPECT_EQ(ids, SchemeIds());
  EXPECT_EQ(zmoCatalogEntryCount, 270);
  for (int id : {-1, 0, 999, 1007, 1404, 1523, 65536}) {
    EXPECT_EQ(zmoCatalogText(id), nullptr) << id;
  }
}

TEST(CatalogTableTest, TextsAreExact) {
  const struct {
    int id;
    const char* text;
  } cases[] = {
      {1000, "&File"},
      {1041, "Align right"},
      {1200, "OK"},
      {1330,  // two blanks before "servers"
       "Use the repository database option to configure the R/3 repository Database Server. "
       "Use the Server option to configure R/3  servers for data retrieval."},
      {1400, "Kestrel Velmar Fieldwatch, Version 5.1.0 - Orvane Suite"},
      {1402, "KQZ7001E Error encountered "},
      {1403, "KQZ7002E  Error number = "},
      // Linux tools have no .exe; the trailing blank stays.
      {1439,
       "KQZ7037E Required file not found, Corva client component corvacmd not installed "
       "or is not in the path. Please refer to the release notes "},
      {1467,
       "KQZ7064E Required file not found, Oracle client component sqlldr73 not installed "
       "or is not in the path. Please refer to the release notes "},
      {1472,
       "KQZ7069E Required file not found, Tessel client component tesseledit300 not "
       "installed or is not in the path. Please refer to the release notes "},
      {1452, "KQZ7049I Kestrel Velmar Fieldwatch 5.1.0 - Orvane Suite"},
      {1484, "Scheduled run"},
      {1499, "Loading of snap records has started"},
      {1504, "KQZ7073E Wrong application server file selected. Must select zmoserver.dat"},
      {1512, "All Transactions"},
      {1513, "Not known"},
      {1514, "KQZ7074E Illegal character entered, single quote not allowed."},
  };
  for (const auto& c : cases) {
    const char* text = zmoCatalogText(c.id);
    ASSERT_NE(text, nullptr) << c.id;
    EXPECT_EQ(std::string(text), c.text) << c.id;
  }
}

// Texts are kept whole in the catalog. Only 1336 is longer than a reading
// buffer of 255 holds; a reader of that one needs a larger buffer.
TEST(CatalogTableTest, TextsFitTheReadingBufferButOne) {
  for (int i = 0; i < zmoCatalogEntryCount; ++i) {
    const ZmoCatalogEntry& e = zmoCatalogEntries[i];
    size_t length = std::strlen(e.text);
    EXPECT_GT(length, 0u) << e.id;
    if (e.id == 1336) {
      EXPECT_EQ(length, 300u);
    } else {
      EXPECT_LE(length, static_cast<size_t>(kReadBuffer - 1)) << e.id;
    }
  }
  char buf[kReadBuffer];
  HMODULE file = LoadLibraryExA(ZMO_CATALOG_SOURCE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(LoadStringA(file, 1336, buf, sizeof(buf)), kReadBuffer - 1);
  EXPECT_EQ(std::string(buf), std::string(zmoCatalogText(1336), kReadBuffer - 1));
  FreeLibrary(file);
}

// Configurator messages begin with KQZ, four digits 7000-7074, a severity
// letter and a blank; no other text does.
TEST(CatalogTableTest, MessageTextsBeginWithTheirIdentifier) {
  std::set<int> messages = {1486, 1487, 1503, 1504};
  for (int id = 1401; id <= 1473; ++id) messages.insert(id);
  for (int id = 1514; id <= 1520; ++id) messages.insert(id);
  for (int i = 0; i < zmoCatalogEntryCount; ++i) {
    const ZmoCatalogEntry& e = zmoCatalogEntries[i];
    std::string text = e.text;
    SCOPED_TRACE(e.id);
    if (!messages.count(e.id)) {
      EXPECT_NE(text.rfind("KQZ", 0), 0u);
      continue;
    }
    ASSERT_GE(text.size(), 10u);
    EXPECT_EQ(text.substr(0, 3), "KQZ");
    int number = std::atoi(text.substr(3, 4).c_str());
    EXPECT_GE(number, 7000);
    EXPECT_LE(number, 7080);
    EXPECT_NE(std::strchr("EWI", text[7]), nullptr);
    EXPECT_EQ(text[8], ' ');
  }
}

TEST(CatalogTableTest, NoTextNamesAWindowsExecutable) {
  for (int i = 0; i < zmoCatalogEntryCount; ++i) {
    EXPECT_EQ(std::strstr(zmoCatalogEntries[i].text, ".exe"), nullptr) << zmoCatalogEntries[i].id;
  }
}

}  // namespace
