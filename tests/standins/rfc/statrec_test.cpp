// SAPWL_STATREC_READ_FILE: records of the interval only, in the release's
// layout and character form, from files and from the seeded generator.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "rfc_test_util.h"

namespace {

using rfc_test::kBaseSystem;
using rfc_test::Packed;
using rfc_test::Params;
using rfc_test::Tables;
using rfc_test::Text;

class StatrecTest : public rfc_test::RfcTest {
 protected:
  struct Result {
    RFC_RC rc = RFC_OK;
    std::vector<std::string> batch, normal;
    int records_read = -1;
    std::string exception;
  };

  // Reads the interval from the base system with tables of these line
  // lengths (0 = table not passed).
  Result Read(const std::string& from, const std::string& to, unsigned batch_leng = 576,
              unsigned normal_leng = 672) {
    Result r;
    RFC_HANDLE h = OpenBase();
    EXPECT_NE(h, RFC_HANDLE_NULL);
    ITAB_H batch = batch_leng ? ItCreate("V2_BTC_STEP_RECORDS", batch_leng, 0, 0) : ITAB_NULL;
    ITAB_H normal = normal_leng ? ItCreate("V2_NORMAL_RECORDS", normal_leng, 0, 0) : ITAB_NULL;
    Params out;
    out.Text("READ_END_DATE", to.substr(0, 8), TYPDATE)
        .Text("READ_END_TIME", to.substr(8), TYPTIME);
    out.Text("READ_START_DATE", from.substr(0, 8), TYPDATE)
        .Text("READ_START_TIME", from.substr(8), TYPTIME);
    out.Int("READ_CONTINUE_RECORDNO", 0);
    Tables tables;
    if (batch) tables.Add("V2_BTC_STEP_RECORDS", batch);
    if (normal) tables.Add("V2_NORMAL_RECORDS", normal);
    r.rc = RfcCall(h, "SAPWL_STATREC_READ_FILE", out.list(), tables.list());
    if (r.rc == RFC_OK) {
      Params in;
      in.Out("FILE_ERROR", 128).Out("RECORDS_READ", 4, TYPINT);
      char* exception = nullptr;
      r.rc = RfcReceive(h, in.list(), tables.list(), &exception);
      if (exception != nullptr) r.exception = exception;
      if (r.rc == RFC_OK) r.records_read = in.IntValue("RECORDS_READ");
    }
    for (int i = 1; batch && i <= ItFill(batch); ++i) r.batch.push_back(rfc_test::Line(batch, i));
    for (int i = 1; normal && i <= ItFill(normal); ++i)
      r.normal.push_back(rfc_test::Line(normal, i));
    if (batch) ItDelete(batch);
    if (normal) ItDelete(normal);
    RfcClose(h);
    return r;
  }
};

std::string Records(const std::string& release) {
  std::string s = kBaseSystem;
  s.replace(s.find("release = 46C"), 13, "release = " + release);
  return s +
         "[record normal]\nENDDATE = 20240304\nENDTIME = 100000\nRESPTI = 1\n\n"
         "[record normal]\nENDDATE = 20240304\nENDTIME = 100001\nRESPTI = 2\nTCODE = VA01\n\n"
         "[record batch]\nENDDATE = 20240304\nENDTIME = 103000\nRESPTI = 3\n\n"
         "[record normal]\nENDDATE = 20240304\nENDTIME = 110000\nRESPTI = -4\n\n"
         "[record normal]\nENDDATE = 20240304\nENDTIME = 110001\nRESPTI = 5\n\n"
         "[record batch]\nENDDATE = 20240305\nENDTIME = 000000\nRESPTI = 6\n";
}

TEST_F(StatrecTest, OnlyRecordsWhoseEndLiesInTheIntervalBothEndsIncluded) {
  WriteSystem("s01", Records("46C"));
  Result r = Read("20240304100001", "20240304110000");
  ASSERT_EQ(r.rc, RFC_OK);
  ASSERT_EQ(r.normal.size(), 2u);
  ASSERT_EQ(r.batch.size(), 1u);
  EXPECT_EQ(r.records_read, 3);
  EXPECT_EQ(Packed(r.normal[0], 40, 8), 2);
  EXPECT_EQ(Text(r.normal[0], 624, 20), "VA01");
  EXPECT_EQ(Packed(r.normal[1], 40, 8), -4);
  EXPECT_EQ(static_cast<unsigned char>(r.normal[1][47]), 0x4D);  // sign nibble D
  EXPECT_EQ(Packed(r.batch[0], 40, 8), 3);
  EXPECT_EQ(r.normal[0].size(), 672u);

  EXPECT_EQ(Read("20240304100001", "20240305000000").batch.size(), 2u);
  Result empty = Read("20240304110000", "20240304100001");  // start after end
  EXPECT_EQ(empty.rc, RFC_OK);
  EXPECT_TRUE(empty.normal.empty());
  EXPECT_EQ(empty.records_read, 0);
}

TEST_F(StatrecTest, OnlyThePassedTablesAreFilled) {
  WriteSystem("s01", Records("46C"));
  Result normal_only = Read("20240304100001", "20240304110000", 0, 672);
  EXPECT_EQ(normal_only.normal.size(), 2u);
  EXPECT_EQ(normal_only.records_read, 2);
  Result none = Read("20240304100001", "20240304110000", 0, 0);
  EXPECT_EQ(none.rc, RFC_OK);
  EXPECT_EQ(none.records_read, 0);
}

// Each release fills its own layout; a 6.10 table may be of any character form.
TEST_F(StatrecTest, EachReleaseInItsLayoutAndForm) {
  struct Case {
    const char* release;
    unsigned batch, normal;
    unsigned resp_offset, tcode_offset, char_width;
  };
  for (const Case& c : {Case{"31I", 504, 512, 40, 72, 1}, Case{"40B", 576, 640, 40, 612, 1},
                        Case{"45B", 576, 640, 40, 612, 1}, Case{"46D", 576, 672, 40, 624, 1},
                        Case{"620", 528, 632, 40, 568, 1}, Case{"610", 672, 856, 0, 0, 2},
                        Case{"620", 992, 1328, 0, 0, 4}}) {
    SCOPED_TRACE(std::string(c.release) + " width " + std::to_string(c.char_width));
    WriteSystem("s01", Records(c.release));
    Result r = Read("20240304100001", "20240304110000", c.batch, c.normal);
    ASSERT_EQ(r.rc, RFC_OK) << LastMessage();
    ASSERT_EQ(r.normal.size(), 2u);
    ASSERT_EQ(r.batch.size(), 1u);
    const zmo::sap::StructLayout* l =
        zmo::sap::FindLayout("SAPWLPFNRM", zmo::sap::StatLayoutTag(c.release), c.char_width);
    const zmo::sap::FieldLayout* resp = zmo::sap::FindField(l, "RESPTI");
    const zmo::sap::FieldLayout* tcode = zmo::sap::FindField(l, "TCODE");
    const zmo::sap::FieldLayout* end = zmo::sap::FindField(l, "ENDTIME");
    if (c.char_width == 1) {
      EXPECT_EQ(resp->offset, c.resp_offset);
      EXPECT_EQ(tcode->offset, c.tcode_offset);
    }
    EXPECT_EQ(Packed(r.normal[0], resp->offset, resp->length), 2);
    std::string wide_tcode, wide_end;
    for (char ch : std::string("VA01")) wide_tcode += ch + std::string(c.char_width - 1, '\0');
    for (char ch : std::string("100001")) wide_end += ch + std::string(c.char_width - 1, '\0');
    EXPECT_EQ(r.normal[0].substr(tcode->offset, 4 * c.char_width), wide_tcode);
    EXPECT_EQ(r.normal[0].substr(end->offset, 6 * c.char_width), wide_end);
  }
}

TEST_F(StatrecTest, FaultyRequestsAndTables) {
  WriteSystem("s01", Records("46C"));
  Result bad_date = Read("2024030410000", "20240304110000");
  EXPECT_EQ(bad_date.rc, RFC_SYS_EXCEPTION);
  EXPECT_EQ(bad_date.exception, "SYSTEM_FAILURE");
  Result wrong_size = Read("20240304100001", "20240304110000", 576, 640);
  EXPECT_EQ(wrong_size.rc, RFC_FAILURE);
  EXPECT_EQ(LastMessage(),
            "SAPWL_STATREC_READ_FILE: table V2_NORMAL_RECORDS: line length 640 does not fit "
            "SAPWLPFNRM 46C (672 bytes)");

  WriteSystem("s01",
              std::string(kBaseSystem).replace(std::string(kBaseSystem).find("46C"), 3, "700"));
  Result unrecognised = Read("20240304100001", "20240304110000", 0, 0);
  EXPECT_EQ(unrecognised.rc, RFC_OK);
  EXPECT_EQ(unrecognised.records_read, 0);
  EXPECT_EQ(Read("20240304100001", "20240304110000").rc, RFC_FAILURE);
  EXPECT_EQ(LastMessage(),
            "SAPWL_STATREC_READ_FILE: release 700 has no statistic record layout to fill the "
            "tables with");
}

std::string Generated(const char* seed, const char* extra = "") {
  return std::string(kBaseSystem) + "[generator]\nseed = " + seed +
         "\nnormal_per_hour = 120\nbatch_per_hour = 6\n" + extra;
}

TEST_F(StatrecTest, GeneratorMakesNRecordsAnHour) {
  WriteSystem("s01", Generated("4711"));
  Result day = Read("20240304000000", "20240304235959");
  ASSERT_EQ(day.rc, RFC_OK);
  EXPECT_EQ(day.normal.size(), 24u * 120);
  EXPECT_EQ(day.batch.size(), 24u * 6);
  EXPECT_EQ(day.records_read, 24 * 126);
  // In end-time order and inside the interval.
  std::string last;
  for (const std::string& line : day.normal) {
    std::string end = line.substr(26, 14);
    EXPECT_GE(end, last);
    EXPECT_GE(end, "20240304000000");
    EXPECT_LE(end, "20240304235959");
    last = end;
  }
}

TEST_F(StatrecTest, GeneratorIsDeterministicPerSeedAndHour) {
  WriteSystem("s01", Generated("4711"));
  Result whole = Read("20240304100001", "20240304120000");
  Result first = Read("20240304100001", "20240304110000");
  Result second = Read("20240304110001", "20240304120000");
  ASSERT_EQ(whole.rc, RFC_OK);
  std::vector<std::string> joined = first.normal;
  joined.insert(joined.end(), second.normal.begin(), second.normal.end());
  EXPECT_EQ(joined, whole.normal);  // the same records whatever the interval
  EXPECT_EQ(Read("20240304100001", "20240304120000").normal, whole.normal);

  WriteSystem("s01", Generated("4712"));
  EXPECT_NE(Read("20240304100001", "20240304120000").normal, whole.normal);
}

// The generated mix looks like a working system: mostly dialog steps with
// many different transactions and users, some RFC and update steps, batch
// records of background jobs, times that add up.
TEST_F(StatrecTest, GeneratorMixIsRealistic) {
  WriteSystem("s01", Generated("99"));
  Result r = Read("20240304080000", "20240304175959");
  ASSERT_EQ(r.rc, RFC_OK);
  std::map<unsigned, int> tasks;
  std::set<std::string> tcodes, users;
  for (const std::string& line : r.normal) {
    const unsigned task = static_cast<unsigned char>(line[62]);
    ++tasks[task];
    if (task == 0x01) tcodes.insert(Text(line, 624, 20));
    users.insert(Text(line, 108, 12));
    EXPECT_EQ(Text(line, 120, 3), "100");  // the system's client
    const long long resp = Packed(line, 40, 8), cpu = Packed(line, 48, 6);
    EXPECT_GT(resp, 0);
    EXPECT_LE(cpu, resp);
    EXPECT_LE(line.substr(12, 14), line.substr(26, 14));  // start before end
  }
  const int n = static_cast<int>(r.normal.size());
  EXPECT_GT(tasks[0x01], n / 2);
  EXPECT_GT(tasks[0xFE], 0);
  EXPECT_GT(tasks[0x02], 0);
  EXPECT_GE(tasks.size(), 6u);
  EXPECT_GE(tcodes.size(), 10u);
  EXPECT_GE(users.size(), 10u);
  for (const std::string& line : r.batch) {
    EXPECT_EQ(static_cast<unsigned char>(line[62]), 0x04);
    EXPECT_FALSE(Text(line, 535, 32).empty());  // job name
  }
}

// A file's records go in among the generated ones by end stamp, before a
// generated record of the same stamp.
TEST_F(StatrecTest, FileRecordsMergeWithGeneratedOnesByEndStamp) {
  WriteSystem("s01", Generated("4711"));
  Result generated = Read("20240304100000", "20240304115959");
  ASSERT_EQ(generated.rc, RFC_OK);
  ASSERT_GT(generated.normal.size(), 200u);
  const std::string tie = generated.normal[150].substr(26, 14);
  size_t first_tie = 0;
  while (generated.normal[first_tie].substr(26, 14) != tie) ++first_tie;
  const std::string record = "[record normal]\nENDDATE = " + tie.substr(0, 8) +
                             "\nENDTIME = " + tie.substr(8) + "\nRESPTI = 77777\n\n";
  WriteSystem("s01", Generated("4711", ("\n" + record +
                                        "[record normal]\nENDDATE = 20240304\nENDTIME = 115959\n"
                                        "RESPTI = 88888\n\n[record batch]\nENDDATE = 20240304\n"
                                        "ENDTIME = 095959\nRESPTI = 1\n")
                                           .c_str()));
  Result merged = Read("20240304100000", "20240304115959");
  ASSERT_EQ(merged.rc, RFC_OK);
  ASSERT_EQ(merged.normal.size(), generated.normal.size() + 2);
  EXPECT_EQ(merged.batch, generated.batch) << "the batch record lies before the interval";
  EXPECT_EQ(merged.records_read, static_cast<int>(merged.normal.size() + merged.batch.size()));
  EXPECT_EQ(Packed(merged.normal[first_tie], 40, 8), 77777);
  EXPECT_EQ(Packed(merged.normal.back(), 40, 8), 88888);
  std::vector<std::string> rest = merged.normal;
  rest.erase(rest.end() - 1);
  rest.erase(rest.begin() + static_cast<long>(first_tie));
  EXPECT_EQ(rest, generated.normal);
}

TEST_F(StatrecTest, GeneratorRefusesIntervalsLongerThanAMonth) {
  WriteSystem("s01", Generated("1"));
  Result r = Read("20240101000000", "20240301000000");
  EXPECT_EQ(r.rc, RFC_SYS_EXCEPTION);
  EXPECT_EQ(LastMessage(), "the simulator generates records for at most 744 hours");
}

}  // namespace
