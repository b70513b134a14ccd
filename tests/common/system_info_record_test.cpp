#include "common/system_info_record.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/sap_layouts.h"
#include "test_support.h"

namespace {

using ::testing::ElementsAre;

// A record of fill bytes with text at the named field (no terminating zero).
class Record {
 public:
  explicit Record(char fill) { std::memset(bytes_, fill, sizeof bytes_); }
  Record& Put(const char* field, const std::string& text) {
    const zmo::sap::FieldLayout* f = zmo::sap::FindField(Layout(), field);
    EXPECT_NE(f, nullptr) << field;
    if (f != nullptr) std::memcpy(bytes_ + f->offset, text.data(), text.size());
    return *this;
  }
  const char* data() const { return bytes_; }

 private:
  static const zmo::sap::StructLayout* Layout() { return zmo::sap::FindLayout("RFCSI", ""); }
  char bytes_[zmo::kRfcsiSize + 16];  // room to show that nothing past the record is read
};

zmo::SystemInfoRecord Parse(const Record& r) {
  zmo::SystemInfoRecord info;
  zmo::parseSystemInfoRecord(r.data(), &info);
  return info;
}

TEST(SystemInfoRecord, TheLayoutTableHasTheFieldsWhereTheRecordHasThem) {
  const zmo::sap::StructLayout* rfcsi = zmo::sap::FindLayout("RFCSI", "");
  ASSERT_NE(rfcsi, nullptr);
  EXPECT_EQ(rfcsi->line_size, zmo::kRfcsiSize);
  const struct {
    const char* name;
    unsigned offset;
    unsigned length;
  } fields[] = {{"RFCSYSID", 53, 8},
                {"RFCDBHOST", 69, 32},
                {"RFCSAPRL", 111, 4},
                {"RFCTZONE", 130, 6},
                {"RFCDAYST", 136, 1}};
  for (const auto& f : fields) {
    const zmo::sap::FieldLayout* got = zmo::sap::FindField(rfcsi, f.name);
    ASSERT_NE(got, nullptr) << f.name;
    EXPECT_EQ(got->offset, f.offset) << f.name;
    EXPECT_EQ(got->length, f.length) << f.name;
  }
}

TEST(SystemInfoRecord, RemoteOffsetFromZoneAndDaylightFields) {
  struct Case {
    const char* tzone;
    char dayst;
    int offset;
    int daylight;
  };
  const Case cases[] = {
      {"  3600", 'X', 7200, 1},   {"  3600", 'x', 7200, 1},   {"  3600", '1', 7200, 1},
      {"  3600", ' ', 3600, 0},   {"-18000", ' ', -18000, 0}, {"     0", 'Y', 0, 0},
      {"+19800", '\0', 19800, 0}, {"   abc", 'X', 3600, 1},   {"999999", ' ', 999999, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.tzone) + "/" + c.dayst);
    const zmo::SystemInfoRecord info =
        Parse(Record(' ').Put("RFCTZONE", c.tzone).Put("RFCDAYST", std::string(1, c.dayst)));
    EXPECT_EQ(info.remoteOffset, c.offset);
    EXPECT_EQ(info.daylight, c.daylight);
  }
}

TEST(SystemInfoRecord, NamesEndAtABlankOrZeroByteAndKeepTheirWidth) {
  struct Case {
    char fill;
    const char* sysid;
    const char* dbhost;
    std::string want_sysid;
    std::string want_dbhost;
  };
  const Case cases[] = {
      {' ', "PRD", "dbhost01", "PRD", "dbhost01"},
      {'\0', "PRD", "dbhost01", "PRD", "dbhost01"},
      {' ', "ABCDEFGH", "", "ABCDEFGH", ""},
      {' ', "prd x", "db host", "prd", "db"},
      {'Z', "", "", std::string(8, 'Z'), std::string(32, 'Z')},  // cut to the field
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sysid);
    Record r(c.fill);
    r.Put("RFCSYSID", c.sysid).Put("RFCDBHOST", c.dbhost);
    if (c.fill == 'Z') r.Put("RFCDBHOST", std::string(40, 'Z'));  // runs into the next field
    const zmo::SystemInfoRecord info = Parse(r);
    EXPECT_EQ(info.systemId, c.want_sysid);
    EXPECT_EQ(info.dbHost, c.want_dbhost);
  }
}

TEST(SystemInfoRecord, ReleaseIsThreeCharactersUpToAZeroByte) {
  EXPECT_EQ(Parse(Record(' ').Put("RFCSAPRL", "46C ")).release, "46C");
  EXPECT_EQ(Parse(Record(' ').Put("RFCSAPRL", "620X")).release, "620");
  EXPECT_EQ(Parse(Record(' ').Put("RFCSAPRL", "6 0")).release, "6 0") << "blanks are kept";
  EXPECT_EQ(Parse(Record('\0').Put("RFCSAPRL", "4")).release, "4");
  EXPECT_EQ(Parse(Record('\0')).release, "");
}

class SystemInfoTrace : public zmo_test::RuntimeTest {};

TEST_F(SystemInfoTrace, OffsetInMinutesAfterTheDaylightLine) {
  zmo::SystemInfoRecord info;
  info.remoteOffset = 7200;
  info.daylight = 1;
  zmo::traceRemoteOffset(info);
  info.remoteOffset = -18030;
  info.daylight = 0;
  zmo::traceRemoteOffset(info);
  EXPECT_THAT(TraceTexts(), ElementsAre("determined daylight saving at remote host",
                                        "total offset to UTC of remote host is <120> min",
                                        "total offset to UTC of remote host is <-300> min"));
}

}  // namespace
