// statiPutOut and the conversion around the lines: the release, the tables,
// the flags, missing lines, a stop between lines, failed writes, one write
// per line, GMT stamps, and the widths an Oracle record keeps whatever it
// is given.

#include <gtest/gtest.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/record_layouts.h"
#include "common/runtime_state.h"
#include "platform/files.h"
#include "statrec_test_util.h"
#include "zmo_test/files.h"
#include "zmo_test/matchers.h"
#include "zmostati/collect.h"
#include "zmostati/rfc_session.h"

using namespace zmo::stati;

namespace {

using statrec_test::Line;
using statrec_test::StandardLine;
using zmo_test::HasText;

// A file whose writes are seen one by one: unbuffered, so that every fwrite
// reaches the callback; a write can be refused, or raise the stop request.
struct WriteProbe {
  std::vector<std::string> writes;
  int refuseFrom = -1;  // this write and later ones fail
  int stopAfter = -1;   // the stop request comes after this many writes

  static ssize_t Write(void* cookie, const char* buf, size_t size) {
    auto* p = static_cast<WriteProbe*>(cookie);
    if (p->refuseFrom >= 0 && static_cast<int>(p->writes.size()) >= p->refuseFrom) return 0;
    p->writes.emplace_back(buf, size);
    if (static_cast<int>(p->writes.size()) == p->stopAfter) {
      zmo::Runtime().service.disconnect.store(1);
    }
    return static_cast<ssize_t>(size);
  }
  std::FILE* Open() {
    cookie_io_functions_t io{};
    io.write = &WriteProbe::Write;
    std::FILE* f = fopencookie(this, "w", io);
    EXPECT_NE(f, nullptr);
    setvbuf(f, nullptr, _IONBF, 0);
    return f;
  }
};

class StatrecPutOutTest : public statrec_test::StatrecTest {
 protected:
  // The session and the run of a 4.6C server PRD on appsrv1 (system number
  // 7) with one batch-step line and three normal ones, its stamps moved to
  // GMT by an hour.
  StatiRfcSession& PrimeServer() {
    statiResetRfcSession();
    StatiRfcSession& session = statiRfcSession();
    session.systemId = "PRD";
    session.dbHost = "dbsrv";
    statiSetRelease("46C");
    session.batchTable =
        statrec_test::MakeTable("V2_BTC_STEP_RECORDS", {StandardLine("46C", true)});
    session.normalTable = statrec_test::MakeTable("V2_NORMAL_RECORDS", ThreeLines());
    StatiState& st = statiState();
    st.collect.host = "appsrv1.corp.example";
    st.collect.shortHost = "appsrv1";
    st.collect.server.sysnr = 7;
    st.settings.gmtSwitch = 1;
    st.remoteOffsetSeconds = 3600;
    return session;
  }

  void TearDown() override {
    zmo::Runtime().service.disconnect.store(0);
    StatrecTest::TearDown();
  }

  // Three standard normal 4.6C lines told apart by their user.
  std::vector<Line> ThreeLines() {
    std::vector<Line> lines;
    for (const char* user : {"USER1", "USER2", "USER3"}) {
      lines.push_back(StandardLine("46C", false));
      lines.back().Text("ACCOUNT", user);
    }
    return lines;
  }

  // Converts the three lines through probe; the result of the conversion.
  int ConvertInto(WriteProbe* probe) {
    ITAB_H normal = statrec_test::MakeTable("V2_NORMAL_RECORDS", ThreeLines());
    StatiConvertJob job = Job("46C");
    job.normalTable = normal;
    job.file = probe->Open();
    const int rc = statiConvertTables(job);
    std::fclose(job.file);
    ItDelete(normal);
    return rc;
  }

  std::string Trace() { return env_.Trace(); }
};

TEST_F(StatrecPutOutTest, UnrecognisedReleaseWritesNothing) {
  ITAB_H table = statrec_test::MakeTable("V2_NORMAL_RECORDS", ThreeLines());
  StatiConvertJob job = Job("700");
  job.normalTable = table;
  int rc = -1;
  EXPECT_EQ(Convert(job, &rc), "");
  EXPECT_EQ(rc, 0);
  EXPECT_THAT(Trace(),
              HasText("rfc error occurred\noperation/code <unrecognized SAP level encountered>\n"));
}

TEST_F(StatrecPutOutTest, FlagsChooseTheTables) {
  ITAB_H batch = statrec_test::MakeTable("V2_BTC_STEP_RECORDS", {StandardLine("46C", true)});
  ITAB_H normal = statrec_test::MakeTable("V2_NORMAL_RECORDS", ThreeLines());
  struct Case {
    int batchFlag, normalFlag;
    const char* types;
  };
  const Case cases[] = {{1, 1, "BNNN"}, {1, 0, "B"}, {0, 1, "NNN"}, {0, 0, ""}};
  for (const Case& c : cases) {
    StatiConvertJob job = Job("46C");
    job.batchTable = batch;
    job.normalTable = normal;
    job.batchFlag = c.batchFlag;
    job.normalFlag = c.normalFlag;
    int rc = -1;
    const std::string out = Convert(job, &rc);
    EXPECT_EQ(rc, 0);
    std::string types;
    for (size_t i = 0; i < out.size(); i += 309) types += out[i];
    EXPECT_EQ(types, c.types);
    EXPECT_EQ(out.size(), std::string(c.types).size() * 309);
  }
}

// A line the table does not give ends the server with 1; the lines before
// it stay written.
TEST_F(StatrecPutOutTest, MissingLineEndsTheConversion) {
  ASSERT_EQ(zmo::WriteFileAtomic((env_.dir() / "library.conf").string(),
                                 "[faults]\nitgetline = V2_NORMAL_RECORDS 2\n"
                                 "itgetline = V2_BTC_STEP_RECORDS 1\n"),
            0);
  setenv(zmo::rfc::kSystemsEnv, env_.dir().c_str(), 1);
  zmo::rfc::SimReset();
  ITAB_H normal = statrec_test::MakeTable("V2_NORMAL_RECORDS", ThreeLines());
  StatiConvertJob job = Job("46C");
  job.batchFlag = 0;
  job.normalTable = normal;
  int rc = -1;
  std::string out = Convert(job, &rc);
  EXPECT_EQ(rc, 1);
  ASSERT_EQ(out.size(), 309u);
  EXPECT_EQ(out.substr(185, 5), "USER1");
  EXPECT_THAT(
      Trace(),
      HasText("ItGetLine(tV2NormalRecords_46C,i) returned unsuccessfully for line <2> - <46C>\n"));

  ITAB_H batch = statrec_test::MakeTable("V2_BTC_STEP_RECORDS", {StandardLine("3", true)});
  job = Job("31I");
  job.batchTable = batch;
  job.normalTable = normal;
  EXPECT_EQ(Convert(job, &rc), "");
  EXPECT_EQ(rc, 1);
  EXPECT_THAT(
      Trace(),
      HasText("ItGetLine(thV2BtcStepRecords,i) returned unsuccessfully for line <1> - <3>\n"));
  unsetenv(zmo::rfc::kSystemsEnv);
}

// A stop request is seen between two lines: 28, the lines written stay.
TEST_F(StatrecPutOutTest, StopBetweenLinesGives28) {
  WriteProbe probe;
  probe.stopAfter = 2;
  EXPECT_EQ(ConvertInto(&probe), 28);
  ASSERT_EQ(probe.writes.size(), 2u);
  EXPECT_EQ(probe.writes[1].substr(185, 5), "USER2");

  // Set before the first line, nothing is written.
  WriteProbe later;
  EXPECT_EQ(ConvertInto(&later), 28);
  EXPECT_TRUE(later.writes.empty());
}

// Every record reaches the file in one write of the whole line, CR LF
// included.
TEST_F(StatrecPutOutTest, OneWritePerLine) {
  for (zmo::DbKind kind : {zmo::DbKind::kOracle, zmo::DbKind::kCorva}) {
    kind_ = kind;
    WriteProbe probe;
    EXPECT_EQ(ConvertInto(&probe), 0);
    ASSERT_EQ(probe.writes.size(), 3u);
    for (const std::string& w : probe.writes) {
      EXPECT_EQ(w.substr(w.size() - 2), "\r\n");
      EXPECT_EQ(w.find("\r\n"), w.size() - 2);
    }
  }
}

// A write that fails is a failed server, not a success.
TEST_F(StatrecPutOutTest, FailedWriteGives1) {
  WriteProbe probe;
  probe.refuseFrom = 1;
  EXPECT_EQ(ConvertInto(&probe), 1);
  EXPECT_EQ(probe.writes.size(), 1u);
  EXPECT_THAT(
      Trace(),
      HasText("statiPutOut() writing line <2> - <46C> to the statistic data file failed\n"));
}

// Lines shorter than the release's layout are refused rather than read
// past their end.
TEST_F(StatrecPutOutTest, ShortTableLinesAreRefused) {
  ITAB_H normal = statrec_test::MakeTable("V2_NORMAL_RECORDS", ThreeLines(), 640);
  StatiConvertJob job = Job("46C");
  job.normalTable = normal;
  int rc = -1;
  EXPECT_EQ(Convert(job, &rc), "");
  EXPECT_EQ(rc, 1);
  EXPECT_THAT(Trace(),
              HasText("statiPutOut() lines of 640 bytes are shorter than the 672 of layout "
                      "SAPWLPFNRM - 46C\n"));
}

TEST_F(StatrecPutOutTest, NoKindOrNoFileIsRefused) {
  ITAB_H normal = statrec_test::MakeTable("V2_NORMAL_RECORDS", ThreeLines());
  StatiConvertJob job = Job("46C");
  job.normalTable = normal;
  job.kind = zmo::DbKind::kNone;
  EXPECT_EQ(Convert(job), "");
  job.kind = zmo::DbKind::kOracle;
  EXPECT_EQ(statiConvertTables(job), 1);  // no file
}

// ConvertToGMT moves both stamps back by the remote offset, across days;
// a stamp that cannot be moved is written as received and traced once.
TEST_F(StatrecPutOutTest, GmtStamps) {
  struct Case {
    int offset;
    const char* stamps;  // columns 89-116
  };
  const Case cases[] = {
      {3600, "2024013122595920240131230004"},
      {-7200, "2024020101595920240201020004"},
      {0, "2024013123595920240201000004"},
  };
  for (const Case& c : cases) {
    StatiConvertJob job = Job("46C");
    job.gmt = 1;
    job.remoteOffset = c.offset;
    ITAB_H t = statrec_test::MakeTable("V2_NORMAL_RECORDS", {StandardLine("46C", false)});
    job.normalTable = t;
    EXPECT_EQ(Convert(job).substr(88, 28), c.stamps) << c.offset;
    ItDelete(t);
  }
  Line early = StandardLine("46C", false);
  early.Text("STARTDATE", "00000101").Text("STARTTIME", "000000");
  ITAB_H t = statrec_test::MakeTable("V2_NORMAL_RECORDS", {early, early});
  StatiConvertJob job = Job("46C");
  job.gmt = 1;
  job.remoteOffset = 3600;
  job.normalTable = t;
  const std::string out = Convert(job);
  ASSERT_EQ(out.size(), 2u * 309);
  EXPECT_EQ(out.substr(88, 28), "0000010100000020240131230004");
  const std::string note =
      "statiWriteInterval() time stamp <00000101000000> cannot be moved to GMT, written as "
      "received\n";
  const std::string trace = Trace();
  ASSERT_THAT(trace, HasText(note));
  EXPECT_EQ(trace.find(note), trace.rfind(note));
}

// Oracle records keep 307 columns: texts longer than their column are cut
// (traced once a pass), measures that do not fit are written at the
// nearest value that does (traced once a pass); the other kinds cut no
// text and write every measure whole.
TEST_F(StatrecPutOutTest, OracleRecordKeepsItsColumns) {
  Line odd = StandardLine("46C", false);
  odd.PackedBytes("RESPTI", std::string("\x00\x00\x00\x00\x00\x01\x50\x0D", 8));  // -1500 ms, -1 s
  odd.Packed("CPUTI", -99999999999LL);
  ITAB_H t = statrec_test::MakeTable("V2_NORMAL_RECORDS", {odd, odd});
  StatiConvertJob job = Job("46C");
  job.host = "a-very-long-host-name-of-forty-characters";
  job.shortHost = "a-very-long-host-name-of-forty-characters";
  job.dbHost = "database-host-with-a-32-char-name";
  job.normalTable = t;
  const std::string out = Convert(job);
  ASSERT_EQ(out.size(), 2u * 309);
  EXPECT_EQ(out.substr(0, 309), out.substr(309));
  const std::string want =
      "N"
      "a-very-long-host-nam"
      "a-very-long-host-name-of-forty"
      "S01_database-host-with-a-32-char-n"
      "100"
      "20240131235959"
      "20240201000004"
      "VA01                "
      "4001"
      "SAPMV45A_ORDER_ENTRY_PROGRAM_OF_40_CHARS"
      "001F"
      "D"
      "SALES01                       "
      "-9999999"
      "      -1"
      "      39"
      "      54"
      "          66"
      "       7"
      "    1793"
      "     105"
      "       4"
      "       3"
      "       1"
      "\r\n";
  statrec_test::ExpectOracleLine(out.substr(0, 309), want);

  // A second server in the same pass: no second trace line.
  Convert(job);
  std::string trace = Trace();
  const std::string cut =
      "statiPutOut() a text longer than its Oracle column was cut to fit, first in line <1> - "
      "<46C>\n";
  const std::string clamp =
      "statiPutOut() a measure that does not fit its column was written as the nearest value "
      "that does, first in line <1> - <46C>\n";
  ASSERT_THAT(trace, HasText(cut));
  EXPECT_EQ(trace.find(cut), trace.rfind(cut));
  ASSERT_THAT(trace, HasText(clamp));
  EXPECT_EQ(trace.find(clamp), trace.rfind(clamp));
  // The next pass traces again.
  ++statiState().passCounter;
  Convert(job);
  trace = Trace();
  EXPECT_NE(trace.find(cut), trace.rfind(cut));

  job.kind = zmo::DbKind::kTessel;
  const std::string csv = Convert(job);
  EXPECT_EQ(csv.substr(0, 93),
            "N,a-very-long-host-name-of-forty-characters_S01_00,"
            "a-very-long-host-name-of-forty-characters,");
  EXPECT_THAT(csv, HasText(",S01_database-host-with-a-32-char-name,100,"));
  EXPECT_THAT(csv, HasText(",-99999999,      -1,"));
}

// Whatever bytes a line holds (here nothing but zero bytes), each layout's
// record is 307 columns in the Oracle form.
TEST_F(StatrecPutOutTest, ZeroLinesStillGiveFullRecords) {
  for (const char* release : {"31I", "40B", "45B", "46C", "620"}) {
    for (bool batch : {true, false}) {
      SCOPED_TRACE(std::string(release) + (batch ? " batch" : " normal"));
      const zmo::sap::StructLayout* l =
          statrec_test::Layout(zmo::sap::StatLayoutTag(release), batch);
      ITAB_H t = ItCreate("T", l->line_size, 0, 0);
      ItAppLine(t);
      StatiConvertJob job = Job(release);
      job.batchFlag = batch;
      job.normalFlag = !batch;
      (batch ? job.batchTable : job.normalTable) = t;
      const std::string out = Convert(job);
      ASSERT_EQ(out.size(), 309u);
      EXPECT_EQ(out.substr(88, 28), std::string(28, ' '));  // the stamps, blank
      EXPECT_EQ(out.substr(215, 8), "       0");
      EXPECT_EQ(out.find('\0'), std::string::npos);
      ItDelete(t);
    }
  }
}

// statiPutOut gathers its job from the run, the RFC session, the settings
// and the metric switches.
TEST_F(StatrecPutOutTest, PutOutReadsTheRunAndTheSession) {
  StatiRfcSession& session = PrimeServer();
  StatiState& st = statiState();
  st.settings.batchFlag = 0;
  st.settings.normalFlag = 1;
  st.switches = zmo::MetricSwitches();
  st.switches.on[zmo::kSwStatiResp] = true;
  char* data = nullptr;
  size_t size = 0;
  st.collect.outFile = open_memstream(&data, &size);
  EXPECT_EQ(statiPutOut(), 0);
  std::fclose(st.collect.outFile);
  st.collect.outFile = nullptr;
  const std::string out(data, size);
  std::free(data);
  ASSERT_EQ(out.size(), 3u * 309);
  EXPECT_EQ(out.substr(0, 116),
            "N"
            "appsrv1_PRD_07      "
            "appsrv1.corp.example          "
            "PRD_dbsrv                         "
            "100"
            "20240131225959"
            "20240131230004");
  EXPECT_EQ(out.substr(215, 92),
            "       0     123       0       0           0       0       0       0       0       0"
            "       0");
  session.batchTable = session.normalTable = ITAB_NULL;
}

// With the run's read interval, each table converted whole is followed by
// its interval line: the server's fields, the interval in the records' own
// time (here moved to GMT as they are), the record kind as T_CODE, empty
// texts and zero measures, in the form of each kind.
TEST_F(StatrecPutOutTest, EachTableReadIsFollowedByItsIntervalLine) {
  StatiRfcSession& session = PrimeServer();
  StatiState& st = statiState();
  st.remote.startDate = "20240304";
  st.remote.startTime = "100001";
  st.remote.endDate = "20240304";
  st.remote.endTime = "110000";
  const std::string zeros =
      "       0       0       0       0           0       0       0       0"
      "       0       0       0";
  const std::string commas =
      "       0,       0,       0,       0,           0,       0,       0,"
      "       0,       0,       0,       0";
  struct Case {
    zmo::DbKind kind;
    std::string batch_line;  // the normal line has N in place of B
  };
  const Case cases[] = {
      {zmo::DbKind::kOracle,
       "I" + zmo_test::Pad("appsrv1_PRD_07", 20) + zmo_test::Pad("appsrv1.corp.example", 30) +
           zmo_test::Pad("PRD_dbsrv", 34) + "   " + "2024030409000120240304100000" +
           zmo_test::Pad("B", 20) + std::string(4 + 40 + 4 + 1 + 30, ' ') + zeros},
      {zmo::DbKind::kCorva,
       "\"I\",\"appsrv1_PRD_07\",\"appsrv1.corp.example\",\"PRD_dbsrv\",\"\","
       "2024-03-04-09.00.01.000000,2024-03-04-10.00.00.000000,\"B\",\"\",\"\",\"\",\"\",\"\"," +
           commas},
      {zmo::DbKind::kMssql,
       "I,appsrv1_PRD_07,appsrv1.corp.example,PRD_dbsrv,,03-04-2024 09:00:01,03-04-2024 "
       "10:00:00,B,,,,,," +
           commas},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(zmo::dbKindName(c.kind));
    zmo::setDatabaseKind(c.kind);
    char* data = nullptr;
    size_t size = 0;
    st.collect.outFile = open_memstream(&data, &size);
    EXPECT_EQ(statiPutOut(), 0);
    std::fclose(st.collect.outFile);
    st.collect.outFile = nullptr;
    const std::vector<std::string> lines = zmo_test::SplitCrlf(std::string(data, size));
    std::free(data);
    ASSERT_EQ(lines.size(), 6u) << "one batch line and its interval, three normal and theirs";
    EXPECT_EQ(lines[1], c.batch_line);
    // The same with the record kind N, the only "B" of the line.
    std::string normal_line = c.batch_line;
    ASSERT_EQ(std::count(normal_line.begin(), normal_line.end(), 'B'), 1);
    normal_line[normal_line.find('B')] = 'N';
    EXPECT_EQ(lines[5], normal_line);
  }
  session.batchTable = session.normalTable = ITAB_NULL;
}

// The 24 fields of one record line of kind: the Oracle one cut at its
// columns, the others split at their commas (no field of the standard
// record holds one). Empty when the line is not one whole record.
std::vector<std::string> Fields(const std::string& line, zmo::DbKind kind) {
  std::vector<std::string> out;
  if (line.size() < 2 || line.find_first_of("\r\n") != line.size() - 2) return out;
  const std::string body = line.substr(0, line.size() - 2);
  if (kind == zmo::DbKind::kOracle) {
    size_t at = 0;
    for (const zmo::RecordField& f : zmo::statRecordLayout()) {
      out.push_back(body.substr(at, f.width));
      at += f.width;
    }
    return at == body.size() ? out : std::vector<std::string>{};
  }
  out.emplace_back();
  for (char c : body) {
    if (c == ',') {
      out.emplace_back();
    } else {
      out.back() += c;
    }
  }
  return out;
}

// Measures beyond their 8 or 12 columns: clamped in the Oracle kind, whole
// in the others, negative ones with their sign.
TEST_F(StatrecPutOutTest, MeasuresWiderThanTheirColumnsInEachKind) {
  Line big = StandardLine("46C", false);
  big.Packed("RESPTI", 123456789000LL);  // 123456789 s
  big.Packed("CPUTI", -2500);            // -2 s
  // 299,999,999,997 bytes, 292968750 KB, from three parts at their top.
  for (const char* f : {"PRIVSUM", "USEDBYTES", "MAXROLL"}) big.Packed(f, 99999999999LL);
  big.Packed("MAXPAGE", 0);
  // 299999999997 changed records: 12 digits fill the column in every kind.
  for (const char* f : {"PHYINSCNT", "PHYUPDCNT", "PHYDELCNT"}) big.Packed(f, 99999999999LL);
  ITAB_H t = statrec_test::MakeTable("V2_NORMAL_RECORDS", {big});
  StatiConvertJob job = Job("46C");
  job.normalTable = t;
  job.batchFlag = 0;
  struct Case {
    zmo::DbKind kind;
    const char* cpu;
    const char* response;
    const char* kb_changed;
    const char* memory;
  };
  const Case cases[] = {
      {zmo::DbKind::kOracle, "      -2", "99999999", "299999999997", "99999999"},
      {zmo::DbKind::kCorva, "      -2", "123456789", "299999999997", "292968750"},
      {zmo::DbKind::kMssql, "      -2", "123456789", "299999999997", "292968750"},
      {zmo::DbKind::kSybase, "      -2", "123456789", "299999999997", "292968750"},
      {zmo::DbKind::kTessel, "      -2", "123456789", "299999999997", "292968750"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(zmo::dbKindName(c.kind));
    job.kind = c.kind;
    const std::string out = Convert(job);
    const std::vector<std::string> f = Fields(out, c.kind);
    ASSERT_EQ(f.size(), 24u) << out;
    EXPECT_EQ(f[zmo::kStatCpuTime], c.cpu);
    EXPECT_EQ(f[zmo::kStatResponseTime], c.response);
    EXPECT_EQ(f[zmo::kStatKbChanged], c.kb_changed);
    EXPECT_EQ(f[zmo::kStatMemoryUsed], c.memory);
  }
  // Only the Oracle kind clamped, and said so.
  EXPECT_THAT(Trace(),
              HasText("statiPutOut() a measure that does not fit its column was written as the "
                      "nearest value that does"));
  ItDelete(t);
}

// A CR, LF or TAB received in a text field is written as a blank in every
// kind, so the record stays one line; a NUL ends the field, as a fixed SAP
// field padded with zero bytes ends at them.
TEST_F(StatrecPutOutTest, ControlBytesInReceivedTextKeepTheRecordOneLine) {
  Line odd = StandardLine("46C", false);
  odd.Raw("ACCOUNT", std::string("AB\r\nCD\tEF\0GH", 12));
  odd.Text("TCODE", "VA\r01");
  ITAB_H t = statrec_test::MakeTable("V2_NORMAL_RECORDS", {odd});
  StatiConvertJob job = Job("46C");
  job.normalTable = t;
  job.batchFlag = 0;
  struct Case {
    zmo::DbKind kind;
    std::string user;
    std::string tcode;
  };
  // The received field is blank-filled to its 20 characters.
  const std::string tcode = "VA 01" + std::string(15, ' ');
  const Case cases[] = {
      {zmo::DbKind::kOracle, "AB  CD EF" + std::string(21, ' '), tcode},
      {zmo::DbKind::kCorva, "\"AB  CD EF\"", "\"" + tcode + "\""},
      {zmo::DbKind::kMssql, "AB  CD EF", tcode},
      {zmo::DbKind::kSybase, "AB  CD EF", tcode},
      {zmo::DbKind::kTessel, "AB  CD EF", tcode},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(zmo::dbKindName(c.kind));
    job.kind = c.kind;
    // One record, one line: the only CR LF is the line's end.
    const std::string out = Convert(job);
    const std::vector<std::string> f = Fields(out, c.kind);
    ASSERT_EQ(f.size(), 24u) << out;
    EXPECT_EQ(f[zmo::kStatUserName], c.user);
    EXPECT_EQ(f[zmo::kStatTcode], c.tcode);
  }
  ItDelete(t);
}

}  // namespace
