// The record layouts and the configurator's codec: exact bytes, the record
// count's rounding, and a round trip in which the files the codec writes are
// read field for field by the configurator's loaders, the collectors'
// server-file scanner and the loader's aggregation readers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aggregate_internal.h"
#include "common/data_files.h"
#include "common/server_file.h"
#include "data_fixture.h"
#include "zmoconfig/loaders.h"
#include "zmoconfig/record_codec.h"
#include "zmoloader/state.h"

using namespace zmo::loader;

using namespace zmo::config;

namespace {

using zmoconfig_test::DataTest;

TEST(RecordCountTest, LengthOverRecordRoundedHalfToEven) {
  struct Case {
    std::int64_t length;
    size_t record;
    std::int64_t count;
  };
  const Case cases[] = {
      {0, 22, 0},
      {22, 22, 1},
      {44, 22, 2},
      {10, 22, 0},
      {11, 22, 0},  // 0.5 -> 0
      {12, 22, 1},
      {33, 22, 2},  // 1.5 -> 2
      {55, 22, 2},  // 2.5 -> 2
      {77, 22, 4},  // 3.5 -> 4
      {20, 22, 1},  // a last line without its CR LF
      {39, 14, 3},  // 2.79
      {183 * 3, 183, 3},
      {183 * 3 + 91, 183, 3},
      {183 * 3 + 92, 183, 4},
      {-1, 22, 0},
      {5, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(zmo::recordCount(c.length, c.record), c.count)
        << c.length << " bytes of " << c.record;
  }
}

TEST(RecordFieldTest, PutCutsOrPadsAndGetStopsAtTheRecordsEnd) {
  std::string record;
  zmo::putRecordField(&record, {3, 4}, "ab");
  EXPECT_EQ(record, "   ab  ");
  zmo::putRecordField(&record, {0, 3}, "xyzzy");
  EXPECT_EQ(record, "xyzab  ");
  EXPECT_EQ(zmo::recordField(record, {3, 4}), "ab  ");
  EXPECT_EQ(zmo::recordField(record, {5, 10}), "  ");
  EXPECT_EQ(zmo::recordField(record, {7, 2}), "");
  EXPECT_EQ(zmo::recordAt("aaabbbc", 3, 3), "c");
  EXPECT_EQ(zmo::recordAt("aaabbbc", 3, 4), "");
  EXPECT_EQ(zmo::recordAt("aaabbbc", 3, 0), "");
}

TEST(RecordLayoutTest, FieldsTileEachRecordExactly) {
  size_t at = 0;
  for (const zmo::FixedField& f : zmo::kServerFields) {
    EXPECT_EQ(f.offset, at);
    at = f.end();
  }
  EXPECT_EQ(zmo::kServerLineEnd.offset, at);
  EXPECT_EQ(zmo::kServerLineEnd.end(), zmo::kServerRecordLength);
  EXPECT_EQ(zmo::kAppGroupLevel.end(), zmo::kAppGroupRecordLength);
  EXPECT_EQ(zmo::kTransGroupCode.end(), zmo::kTransGroupRecordLength);
  EXPECT_EQ(zmo::kRenameOldName.end(), zmo::kRenameRecordLength);
  EXPECT_EQ(zmo::kTCodeCode.end() + 2, zmo::kTCodeRecordLength);
  for (zmo::IgnoreList list :
       {zmo::IgnoreList::kIds, zmo::IgnoreList::kProgs, zmo::IgnoreList::kTrans}) {
    const zmo::IgnoreListLayout& l = zmo::ignoreListLayout(list);
    EXPECT_EQ(l.entry.end() + 2, l.record) << l.file;
  }
}

ServerRow Row(const std::string& host, const std::string& user, const std::string& password,
              const std::string& sid, const std::string& client, const std::string& sysnr,
              const std::string& language) {
  return {"", host, user, password, sid, client, sysnr, "000000", "240000", language};
}

TEST(RecordCodecTest, ServerRecordBytes) {
  const std::string record =
      EncodeServerRecord(Row("sapr3a.corp.example", "MONUSER", "Xy12", "PRD", "100", "00", "E"));
  ASSERT_EQ(record.size(), 183u);
  const std::string expected = "sapr3a.corp.example" + std::string(100 - 19, ' ') + "MONUSER" +
                               std::string(23, ' ') + "Xy12" + std::string(26, ' ') +
                               "PRD10000000000240000E\r\n";
  EXPECT_EQ(record, expected);
}

TEST(RecordCodecTest, LongValuesAreCutToTheirFieldAndEmptyOnesBlank) {
  const std::string record =
      EncodeServerRecord(Row(std::string(120, 'h'), "", "", "PRDX", "1000", "123", ""));
  ASSERT_EQ(record.size(), 183u);
  EXPECT_EQ(record.substr(0, 100), std::string(100, 'h'));
  EXPECT_EQ(record.substr(100, 60), std::string(60, ' '));
  EXPECT_EQ(record.substr(160, 8), "PRD10012");
  EXPECT_EQ(record.substr(180), " \r\n");
}

TEST(RecordCodecTest, ListAndGroupRecordBytes) {
  EXPECT_EQ(EncodeIgnoreLine(zmo::IgnoreList::kIds, "DDIC"), "DDIC        \r\n");
  EXPECT_EQ(EncodeIgnoreLine(zmo::IgnoreList::kIds, "ABCDEFGHIJKLMNOP"), "ABCDEFGHIJKL\r\n");
  EXPECT_EQ(EncodeIgnoreLine(zmo::IgnoreList::kProgs, "SAPMV45A"),
            "SAPMV45A" + std::string(22, ' ') + "\r\n");
  EXPECT_EQ(EncodeIgnoreLine(zmo::IgnoreList::kTrans, "VA01"),
            "VA01" + std::string(16, ' ') + "\r\n");
  EXPECT_EQ(EncodeAppGroupRecord("Sales", "0500"), "Sales" + std::string(30, ' ') + "0500");
  EXPECT_EQ(EncodeTransGroupRecord("Sales", "VA01"),
            "Sales" + std::string(30, ' ') + "VA01" + std::string(16, ' '));
}

// The round trip: the codec writes, three readers read.
class RoundTripTest : public DataTest {
 protected:
  RoundTripTest() { loaderState().bin_dir = BinDir(); }
  ~RoundTripTest() override { loaderState().bin_dir.clear(); }
};

TEST_F(RoundTripTest, ServerFileReadByTheLoaderAndTheScanner) {
  const std::vector<ServerRow> rows = {
      Row("sapr3a.corp.example", "MONUSER", "Xy12abc", "PRD", "100", "00", "E"),
      Row("/H/router/S/3299/H/sapr3b", "RFCUSER", "Qq9", "QAS", "200", "12", "D"),
      Row("sapr3c", "U", "P", "DEV", "000", "99", ""),
  };
  std::string file;
  for (const ServerRow& row : rows) file += EncodeServerRecord(row);
  const std::string path = BinFile("zmoserver.dat");
  WriteBin("zmoserver.dat", file);
  gServerFile = path;

  ServerLists lists;
  ASSERT_EQ(LoadServerFile("frmServers", {}, &lists), kServerLoadOk);
  ASSERT_EQ(gServerCount, 3);
  for (size_t r = 0; r < rows.size(); ++r) {
    for (int f = 1; f <= 9; ++f) {
      EXPECT_EQ(std::string(zmo::trimBlanks(gServers[r + 1][f])), rows[r][f])
          << "row " << r + 1 << " field " << f;
      EXPECT_EQ(gServers[r + 1][f].size(), zmo::kServerFields[f - 1].width);
    }
  }

  std::string data;
  ASSERT_EQ(zmo::readServerFile(path.c_str(), &data), 0);
  size_t pos = 0;
  std::string_view line;
  for (const ServerRow& row : rows) {
    ASSERT_TRUE(zmo::nextServerLine(data, &pos, &line));
    zmo::ServerLine server;
    zmo::parseServerLine(line, &server);
    EXPECT_EQ(server.host, row[kSrvHost]);
    EXPECT_EQ(server.user, row[kSrvUser]);
    EXPECT_EQ(server.password, row[kSrvPassword]);
    EXPECT_EQ(server.sid, row[kSrvSid]);
    EXPECT_EQ(server.client, row[kSrvClient]);
    EXPECT_EQ(server.sysnr, std::stoi(row[kSrvSysnr]));
    EXPECT_EQ(server.language, row[kSrvLanguage]);
  }
  EXPECT_FALSE(zmo::nextServerLine(data, &pos, &line));
}

TEST_F(RoundTripTest, ExclusionListsReadByBothReaders) {
  struct Case {
    zmo::IgnoreList list;
    std::vector<std::string> entries;
  };
  const Case cases[] = {
      {zmo::IgnoreList::kIds, {"DDIC", "SAP*", "ABCDEFGHIJKL"}},
      {zmo::IgnoreList::kProgs, {"SAPMV45A", "RSPARAM", std::string(30, 'P')}},
      {zmo::IgnoreList::kTrans, {"VA01", "SE38", "/NSE16"}},
  };
  for (const Case& c : cases) {
    const zmo::IgnoreListLayout& layout = zmo::ignoreListLayout(c.list);
    std::string file;
    for (const std::string& e : c.entries) file += EncodeIgnoreLine(c.list, e);
    WriteBin(layout.file, file);

    std::vector<std::string> loaded;
    LoadIgnoreList(c.list, &loaded);
    EXPECT_EQ(loaded, c.entries) << layout.file;
    EXPECT_EQ(readExclusionWords(layout), c.entries) << layout.file;
  }
}

// A list written by hand: the configurator shows what the loader excludes.
TEST_F(RoundTripTest, HandMadeExclusionListsReadTheSameByBothReaders) {
  struct Case {
    zmo::IgnoreList list;
    std::string data;
    std::vector<std::string> entries;
  };
  const Case cases[] = {
      {zmo::IgnoreList::kIds,
       "USER1\r\nUSER2\r\nUSER3\r\nUSER4\r\n",
       {"USER1", "USER2", "USER3", "USER4"}},
      {zmo::IgnoreList::kIds, " ddic \n\nTOOLONGUSERID1\nsap*", {"DDIC", "SAP*"}},
      {zmo::IgnoreList::kTrans,
       "va01\r\nSE\x01"
       "38\r\n/nse16",
       {"VA01", "/NSE16"}},
      {zmo::IgnoreList::kProgs, "SAPMV45A" + std::string(40, ' ') + "\r\n", {"SAPMV45A"}},
  };
  for (const Case& c : cases) {
    const zmo::IgnoreListLayout& layout = zmo::ignoreListLayout(c.list);
    WriteBin(layout.file, c.data);
    std::vector<std::string> loaded;
    LoadIgnoreList(c.list, &loaded);
    EXPECT_EQ(loaded, c.entries) << layout.file;
    EXPECT_EQ(readExclusionWords(layout), c.entries) << layout.file;
  }
}

TEST_F(RoundTripTest, GroupFilesReadByBothReaders) {
  WriteBin("zmoAppGroup.dat", EncodeAppGroupRecord("Sales", "0500") +
                                  EncodeAppGroupRecord("Finance and controlling", "2250"));
  WriteBin("zmoTransGroup.dat", EncodeTransGroupRecord("Sales", "VA01") +
                                    EncodeTransGroupRecord("Sales", "VA02") +
                                    EncodeTransGroupRecord("Finance and controlling", "FB01"));
  LoadAppGroups();
  LoadTransGroups();
  ASSERT_EQ(gAppGroupCount, 2);
  EXPECT_EQ(gAppGroups[1], (GroupRow{"", "Sales", "0500"}));
  EXPECT_EQ(gAppGroups[2], (GroupRow{"", "Finance and controlling", "2250"}));
  ASSERT_EQ(gTransGroupCount, 3);
  EXPECT_EQ(gTransGroups[3], (GroupRow{"", "Finance and controlling", "FB01"}));

  const std::vector<GroupCode> codes = readGroupCodes();
  ASSERT_EQ(codes.size(), 3u);
  for (size_t i = 0; i < codes.size(); ++i) {
    EXPECT_EQ(codes[i].group, gTransGroups[i + 1][1]);
    EXPECT_EQ(codes[i].code, gTransGroups[i + 1][2]);
  }
  EXPECT_EQ(codes[0].sla, "0500");
  EXPECT_EQ(codes[2].sla, "2250");
}

TEST_F(RoundTripTest, RenameRecordsFromTheSharedLayout) {
  std::string record;
  zmo::putRecordField(&record, zmo::kRenameNewName, "Sales Europe");
  zmo::putRecordField(&record, zmo::kRenameOldName, "Sales");
  ASSERT_EQ(record.size(), zmo::kRenameRecordLength);
  WriteBin("zmogrpupdt.dat", record);
  const std::vector<GroupRename> renames = readGroupRenames();
  ASSERT_EQ(renames.size(), 1u);
  EXPECT_EQ(renames[0].new_name, "Sales Europe");
  EXPECT_EQ(renames[0].old_name, "Sales");
}

}  // namespace
