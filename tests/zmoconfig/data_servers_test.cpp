// The server page's rules: CheckFields and CheckForDups as tables, storing
// an entry, and the exact bytes of zmoserver.dat with its backup and the
// registry values that name it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "common/gdlib_binding.h"
#include "common/server_file.h"
#include "data_fixture.h"
#include "zmo_test/config_store.h"
#include "zmoconfig/file_save.h"
#include "zmoconfig/loaders.h"
#include "zmoconfig/record_codec.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmoconfig/servers.h"
#include "zmogdlib/zmogdlib.h"

using namespace zmo::config;

namespace {

using testing::ElementsAre;
using zmoconfig_test::DataTest;

ServerEntry Entry(const std::string& host, const std::string& client, const std::string& sysnr,
                  const std::string& sid = "C11") {
  ServerEntry e;
  e.host = host;
  e.user = "collector";
  e.password = "secret";
  e.sid = sid;
  e.client = client;
  e.sysnr = sysnr;
  return e;
}

struct FieldsCase {
  const char* name;
  ServerEntry entry;
  int id;
  ServerBox box;
  // The normalised boxes when accepted.
  const char* sid = "";
  const char* client = "";
  const char* sysnr = "";
};

void PrintTo(const FieldsCase& c, std::ostream* os) { *os << c.name; }

ServerEntry With(ServerEntry e, std::string ServerEntry::*field, const std::string& value) {
  e.*field = value;
  return e;
}

const ServerEntry kGood = Entry("sap01.example.com", "1", "5", " ab ");

class CheckFieldsTable : public DataTest, public testing::WithParamInterface<FieldsCase> {};

TEST_P(CheckFieldsTable, FirstFailingCheckAndNormalisedBoxes) {
  const FieldsCase& c = GetParam();
  ServerEntry e = c.entry;
  EntryRefusal refusal;
  EXPECT_EQ(CheckFields(&e, &refusal), c.id);
  EXPECT_EQ(refusal.text_id, c.id);
  EXPECT_EQ(refusal.box, c.box);
  if (c.id == 0) {
    EXPECT_EQ(e.sid, c.sid);
    EXPECT_EQ(e.client, c.client);
    EXPECT_EQ(e.sysnr, c.sysnr);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Checks, CheckFieldsTable,
    testing::Values(
        FieldsCase{"Accepted", kGood, 0, ServerBox::kNone, "AB", "001", "05"},
        FieldsCase{"Route", With(kGood, &ServerEntry::host, "/H/router/H/sap01.example.com"), 0,
                   ServerBox::kNone, "AB", "001", "05"},
        FieldsCase{"BlankServer", With(kGood, &ServerEntry::host, "   "), 1428, ServerBox::kNone},
        FieldsCase{"NoDot", With(kGood, &ServerEntry::host, "sap01"), 1503, ServerBox::kNone},
        FieldsCase{"DotOnlyBeforeRoute", With(kGood, &ServerEntry::host, "a.b/sap01"), 1503,
                   ServerBox::kNone},
        FieldsCase{"DottedAddress", With(kGood, &ServerEntry::host, "10.1.2.3"), 1503,
                   ServerBox::kNone},
        FieldsCase{"InnerBlankInHost", With(kGood, &ServerEntry::host, "sap 01.example.com"), 1516,
                   ServerBox::kServer},
        FieldsCase{"NoUser", With(kGood, &ServerEntry::user, " "), 1429, ServerBox::kId},
        FieldsCase{"InnerBlankInUser", With(kGood, &ServerEntry::user, "col lector"), 1516,
                   ServerBox::kId},
        FieldsCase{"NoPassword", With(kGood, &ServerEntry::password, "  "), 1430,
                   ServerBox::kPassword},
        FieldsCase{"PasswordOverTheScrambledField",
                   With(kGood, &ServerEntry::password, std::string(15, 'p')), 1515,
                   ServerBox::kPassword},
        FieldsCase{"LongestPassword", With(kGood, &ServerEntry::password, std::string(14, 'p')), 0,
                   ServerBox::kNone, "AB", "001", "05"},
        FieldsCase{"NoSid", With(kGood, &ServerEntry::sid, ""), 1431, ServerBox::kSid},
        FieldsCase{"NoInstance", With(kGood, &ServerEntry::sysnr, " "), 1432,
                   ServerBox::kInstanceNo},
        FieldsCase{"InstanceLetters", With(kGood, &ServerEntry::sysnr, "x1"), 1433,
                   ServerBox::kInstanceNo},
        FieldsCase{"InstanceExponent", With(kGood, &ServerEntry::sysnr, "1e1"), 1433,
                   ServerBox::kInstanceNo},
        FieldsCase{"InstanceSign", With(kGood, &ServerEntry::sysnr, "+1"), 1433,
                   ServerBox::kInstanceNo},
        FieldsCase{"InstanceInnerBlank", With(kGood, &ServerEntry::sysnr, "0 1"), 1433,
                   ServerBox::kInstanceNo},
        FieldsCase{"InstanceNegative", With(kGood, &ServerEntry::sysnr, "-1"), 1434,
                   ServerBox::kInstanceNo},
        FieldsCase{"InstanceTooWide", With(kGood, &ServerEntry::sysnr, "100"), 1433,
                   ServerBox::kInstanceNo},
        FieldsCase{"InstanceLeadingZeros", With(kGood, &ServerEntry::sysnr, "0007"), 0,
                   ServerBox::kNone, "AB", "001", "07"},
        FieldsCase{"NoClient", With(kGood, &ServerEntry::client, ""), 1435, ServerBox::kClient},
        FieldsCase{"ClientFraction", With(kGood, &ServerEntry::client, "1.5"), 1436,
                   ServerBox::kClient},
        FieldsCase{"ClientNegative", With(kGood, &ServerEntry::client, "-1"), 1436,
                   ServerBox::kClient},
        FieldsCase{"ClientTooWide", With(kGood, &ServerEntry::client, "1000"), 1436,
                   ServerBox::kClient}));

TEST_F(DataTest, PasswordRefusalGivesTheLimit) {
  ServerEntry e = With(kGood, &ServerEntry::password, std::string(20, 'p'));
  EntryRefusal refusal;
  ASSERT_EQ(CheckFields(&e, &refusal), 1515);
  EXPECT_EQ(refusal.text, "KQZ7075E Password too long. Maximum number of characters: 14");
  EXPECT_EQ(LongestPasswordFor(30), 14u);
  EXPECT_EQ(LongestPasswordFor(kRegTextMax), 182u);
}

class ServerTableTest : public DataTest {
 protected:
  // Adds a checked entry as a new row.
  void Add(ServerEntry e) {
    EntryRefusal refusal;
    ASSERT_EQ(CheckFields(&e, &refusal), 0) << refusal.text;
    ASSERT_EQ(StoreServerEntry(0, e), kStoreOk);
  }
};

TEST_F(ServerTableTest, CheckForDupsTable) {
  Add(Entry("sap01.example.com", "1", "0"));
  Add(Entry("sap02.example.com", "1", "0"));
  struct Case {
    ServerEntry entry;
    int skip;
    bool free;
  };
  const Case cases[] = {
      {Entry("SAP01.Example.COM", "001", "00", "c11"), 0, false},  // case of host and SID
      {Entry(" sap01.example.com ", "001", "00"), 0, false},
      {Entry("sap01.example.com", "002", "00"), 0, true},         // another client
      {Entry("sap01.example.com", "001", "01"), 0, true},         // another instance
      {Entry("sap01.example.com", "001", "00", "C12"), 0, true},  // another SID
      {Entry("sap01.example.com", "001", "00"), 1, true},         // its own row skipped
      {Entry("sap01.example.com", "001", "00"), 2, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckForDups(c.skip, c.entry), c.free) << c.entry.host << " " << c.entry.client;
  }
}

TEST_F(ServerTableTest, StoreAddsAndEditsRows) {
  ServerEntry e = Entry(" sap01.example.com ", "1", "5");
  e.language = 1;
  Add(e);
  ASSERT_EQ(gServerCount, 1);
  const ServerRow& row = gServers[1];
  EXPECT_EQ(row[kSrvHost], "sap01.example.com");
  EXPECT_EQ(row[kSrvSid], "C11");
  EXPECT_EQ(row[kSrvClient], "001");
  EXPECT_EQ(row[kSrvSysnr], "05");
  EXPECT_EQ(row[kSrvWindowStart], "000000");
  EXPECT_EQ(row[kSrvWindowEnd], "240000");
  EXPECT_EQ(row[kSrvLanguage], "D");
  EXPECT_EQ(DecryptText(row[kSrvPassword]), "secret");

  // Editing without a language keeps the letter; the dialog shows the row.
  ServerEntry edit = ServerEntryFromRow(gServers[1]);
  EXPECT_EQ(edit.password, "secret");
  EXPECT_EQ(edit.language, 1);
  edit.language = -1;
  edit.sysnr = "07";
  ASSERT_EQ(StoreServerEntry(1, edit), kStoreOk);
  EXPECT_EQ(gServers[1][kSrvSysnr], "07");
  EXPECT_EQ(gServers[1][kSrvLanguage], "D");

  // A new row without a language gets a blank.
  Add(Entry("sap02.example.com", "1", "0"));
  EXPECT_EQ(gServers[2][kSrvLanguage], " ");
  EXPECT_EQ(StoreServerEntry(5, edit), kStoreNoRow);
  EXPECT_TRUE(DeleteServerRow(1));
  EXPECT_EQ(gServerCount, 1);
  EXPECT_EQ(gServers[1][kSrvHost], "sap02.example.com");
  EXPECT_FALSE(DeleteServerRow(2));
}

TEST(ServerLanguageTest, LettersInListOrder) {
  const std::string letters = "EDJFISPKTC";
  for (int i = 0; i < kServerLanguageCount; ++i) {
    EXPECT_EQ(ServerLanguageLetter(i), letters[i]);
    EXPECT_EQ(ServerLanguagePosition(letters[i]), i);
  }
  EXPECT_EQ(ServerLanguageLetter(-1), ' ');
  EXPECT_EQ(ServerLanguageLetter(10), ' ');
  EXPECT_EQ(ServerLanguagePosition('X'), -1);
}

// A record as the file holds it.
std::string Record(const std::string& host, const std::string& password, const std::string& tail) {
  std::string r = host;
  r.resize(100, ' ');
  r += "collector";
  r.resize(130, ' ');
  r += password;
  r.resize(160, ' ');
  return r + tail + "\r\n";
}

TEST_F(ServerTableTest, SaveWritesTheExactBytesAndTheBackup) {
  WriteBin("zmoserver.dat", "old contents");
  Add(Entry("sap01.example.com", "1", "5"));
  ServerEntry e = Entry("sap02.example.com", "100", "0", "p01");
  e.language = 0;
  Add(e);
  const std::string pw1 = gServers[1][kSrvPassword];
  const std::string pw2 = gServers[2][kSrvPassword];
  ASSERT_EQ(SaveServerFile(), kSaveOk);
  const std::string expected = Record("sap01.example.com", pw1, "C1100105000000240000 ") +
                               Record("sap02.example.com", pw2, "P0110000000000240000E");
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoserver.dat")), expected);
  EXPECT_EQ(expected.size(), 2u * 183);
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoserver.bak")), "old contents");
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kStatiInput), BinFile("zmoserver.dat"));
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kSnapInput), BinFile("zmoserver.dat"));

  // Read back field for field.
  ServerLists lists;
  ASSERT_EQ(LoadServerFile("frmServers", {}, &lists), kServerLoadOk);
  EXPECT_THAT(lists.lstServer, ElementsAre("sap01.example.com 05", "sap02.example.com 00"));
}

TEST_F(ServerTableTest, RewrittenFileKeepsItsPermissions) {
  using std::filesystem::perms;
  // Readable to the collectors' group, as an administrator may set it.
  const perms group_reads = perms::owner_read | perms::owner_write | perms::group_read;
  WriteBin("zmoserver.dat", "");
  std::filesystem::permissions(BinFile("zmoserver.dat"), group_reads);
  Add(Entry("sap01.example.com", "1", "5"));
  ASSERT_EQ(SaveServerFile(), kSaveOk);
  EXPECT_EQ(std::filesystem::status(BinFile("zmoserver.dat")).permissions(), group_reads);
}

// The records hold scrambled passwords: a file made anew and every backup
// are the owner's alone, wherever the file lies.
TEST_F(ServerTableTest, NewFileAndBackupAreOwnerOnly) {
  using std::filesystem::perms;
  const perms owner = perms::owner_read | perms::owner_write;
  const std::string elsewhere = dir_ / "share/zmoserver.dat";
  std::filesystem::create_directories(dir_ / "share");
  Add(Entry("sap01.example.com", "1", "5"));
  for (const std::string& path : {BinFile("zmoserver.dat"), elsewhere}) {
    SCOPED_TRACE(path);
    gServerFile = path;
    ASSERT_EQ(SaveServerFile(), kSaveOk);  // made anew
    EXPECT_EQ(std::filesystem::status(path).permissions(), owner);
    ASSERT_EQ(SaveServerFile(), kSaveOk);  // rewritten, the old one backed up
    EXPECT_EQ(std::filesystem::status(path).permissions(), owner);
    EXPECT_EQ(std::filesystem::status(BinFile("zmoserver.bak")).permissions(), owner);
    EXPECT_EQ(zmo_test::FileText(BinFile("zmoserver.bak")).size(), 183u);
  }
}

TEST_F(ServerTableTest, EmptyListWritesAnEmptyFile) {
  WriteBin("zmoserver.dat", Record("a.b", "x", "C1100105000000240000 "));
  ASSERT_EQ(SaveServerFile(), kSaveOk);
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoserver.dat")), "");
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoserver.bak")).size(), 183u);
}

TEST_F(ServerTableTest, StatiInputIsKeptWhenNoOtherFileWasChosen) {
  const std::string elsewhere = dir_ / "share/zmoserver.dat";
  std::filesystem::create_directories(dir_ / "share");
  zmo_test::PutConfigText(zmo::cfg::kStatiInput, elsewhere);
  Add(Entry("sap01.example.com", "1", "5"));
  ASSERT_EQ(SaveServerFile(), kSaveOk);
  EXPECT_EQ(zmo_test::FileText(elsewhere).size(), 183u);
  EXPECT_FALSE(std::filesystem::exists(BinFile("zmoserver.dat")));
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kStatiInput), elsewhere);
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kSnapInput), elsewhere);

  // A chosen network file becomes the one both values name.
  gServerFile = BinFile("zmoserver.dat");
  ASSERT_EQ(SaveServerFile(), kSaveOk);
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kStatiInput), BinFile("zmoserver.dat"));
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kSnapInput), BinFile("zmoserver.dat"));
}

TEST_F(ServerTableTest, SaveIsRefusedAfterAFailedLoad) {
  WriteBin("zmoserver.dat", "kept");
  gServerFileLoaded = false;
  EXPECT_EQ(SaveServerFile(), kSaveFailed);
  EXPECT_THAT(ui_.messages, ElementsAre(testing::StartsWith("KQZ7080E")));
  EXPECT_THAT(ui_.status, ElementsAre(1453));
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoserver.dat")), "kept");
}

TEST_F(ServerTableTest, FailedWriteKeepsTheOldFileAndTheRegistry) {
  // The file's folder is a plain file: nothing can be created in it.
  WriteBin("plain", "");
  gServerFile = BinFile("plain/zmoserver.dat");
  zmo_test::PutConfigText(zmo::cfg::kStatiInput, BinFile("zmoserver.dat"));
  Add(Entry("sap01.example.com", "1", "5"));
  EXPECT_EQ(SaveServerFile(), kSaveFailed);
  EXPECT_THAT(ui_.status, testing::Contains(1453));
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kStatiInput), BinFile("zmoserver.dat"));
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kSnapInput), "<missing>");
  EXPECT_EQ(gServerCount, 1) << "the table stays for another try";
}

TEST_F(ServerTableTest, SaveWithoutBinDirWritesNothing) {
  gBinDir.clear();
  EXPECT_EQ(SaveServerFile(), kSaveFailed);
  EXPECT_THAT(ui_.status, ElementsAre(1453));
}

TEST(ServerFileChoiceTest, OnlyZmoserverDatInAnyCase) {
  std::string path;
  EXPECT_EQ(ServerFileChoice("/mnt/share", "ZMOSERVER.DAT", &path), 0);
  EXPECT_EQ(path, "/mnt/share/ZMOSERVER.DAT");
  EXPECT_EQ(ServerFileChoice("/", "zmoserver.dat", &path), 0);
  EXPECT_EQ(path, "/zmoserver.dat") << "no doubled separator at the root";
  EXPECT_EQ(ServerFileChoice("/mnt/share/", "zmoserver.dat", &path), 0);
  EXPECT_EQ(path, "/mnt/share/zmoserver.dat");
  EXPECT_EQ(ServerFileChoice("/mnt", "zmoserver.bak", &path), 1504);
  EXPECT_EQ(path, "");
  EXPECT_EQ(ServerFileChoice("/mnt", "", &path), 1504);
}

}  // namespace

namespace {

// A server typed into the dialog and saved is what the collectors read: the
// scanner finds its fields, and the collectors' own run-time key unscrambles
// its password.
TEST_F(ServerTableTest, SavedEntryIsReadByTheCollectorsScannerAndKey) {
  ServerEntry e = Entry("/H/router/H/sap01.example.com", "100", "2", "prd");
  e.password = " Xy12abc ";
  e.language = 3;
  Add(e);
  ASSERT_EQ(SaveServerFile(), kSaveOk);

  std::string data;
  ASSERT_EQ(zmo::readServerFile(BinFile("zmoserver.dat").c_str(), &data), 0);
  size_t pos = 0;
  std::string_view line;
  ASSERT_TRUE(zmo::nextServerLine(data, &pos, &line));
  zmo::ServerLine server;
  zmo::parseServerLine(line, &server);
  EXPECT_EQ(server.host, "/H/router/H/sap01.example.com");
  EXPECT_EQ(zmo::serverHostName(server.host), "sap01.example.com");
  EXPECT_EQ(server.user, "collector");
  EXPECT_EQ(server.sid, "PRD");
  EXPECT_EQ(server.client, "100");
  EXPECT_EQ(server.sysnr, 2);
  EXPECT_EQ(server.language, "F");
  EXPECT_FALSE(zmo::nextServerLine(data, &pos, &line));

  char key[zmo::kDecryptKeySize];
  zmo::buildDecryptKey(key);
  char clear[256] = {};
  ASSERT_GT(Decrypt(server.password.c_str(), key, clear), 0);
  EXPECT_STREQ(clear, "Xy12abc");
}

}  // namespace
