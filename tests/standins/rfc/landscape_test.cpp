// The example landscape of tests/fixtures/sap, read as a collector reads it:
// logon with each system's data, its system info, and the statistic records
// of an interval with every byte where the record conversion reads it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "rfc_test_util.h"

namespace {

using rfc_test::LittleEndian;
using rfc_test::Packed;
using rfc_test::Params;
using rfc_test::Tables;
using rfc_test::Text;
using zmo::sap::FieldKind;
using zmo::sap::FieldLayout;
using zmo::sap::FindLayout;
using zmo::sap::StructLayout;

struct Example {
  const char* name;
  const char* host;
  int sysnr;
  const char* client;
  const char* user;
  const char* password;
  const char* language;
  const char* release;
  const char* tzone;  // RFCTZONE as received
  const char* dayst;
  const char* tag;  // nullptr: no statistic record layout
};

const Example kExamples[] = {
    {"T31", "sapt31.example.net", 0, "100", "ZMOMON", "init31pw", "E", "31I ", "  3600", "x", "3"},
    {"T40", "10.1.4.40", 1, "200", "ZMOMON", "Init40Pw", "E", "40B ", "-18000", " ", "4"},
    {"T45", "sapt45", 2, "300", "ZMOMON", "Secret45", "D", "45B ", "     0", " ", "45B"},
    {"T46", "sapt46.example.net", 0, "100", "ZMOMON", "Secret46", "E", "46C ", "  3600", "X",
     "46C"},
    {"T4D", "sapt4d.example.net", 10, "800", "ZMOMON", "Secret4D", "E", "46D ", " 19800", " ",
     "46C"},
    {"T62", "/H/gw.example.net/S/3299/H/sapt62.example.net", 0, "100", "ZMOMON", "Secret62!", "E",
     "620 ", " 32400", "1", "610"},
    {"T70", "sapt70.example.net", 0, "100", "ZMOMON", "Secret70", "E", "700 ", "-25200", "X",
     nullptr},
};

class ExampleLandscapeTest : public rfc_test::RfcTest {
 protected:
  void SetUp() override {
    RfcTest::SetUp();
    setenv(zmo::rfc::kSystemsEnv, (std::string(ZMO_TEST_FIXTURES) + "/sap").c_str(), 1);
  }
  RFC_HANDLE OpenExample(const Example& e) {
    return Open(e.host, e.sysnr, e.client, e.user, e.password, e.language);
  }
  // Some systems answer late; their waits pass on this clock.
  zmo::ScopedFakeClock clock_{1'709'546'400'000};
};

// A structure installed from the layout table, as a collector installs it.
RFC_TYPEHANDLE Install(const StructLayout& l) {
  std::vector<RFC_TYPE_ELEMENT> e;
  for (unsigned i = 0; i < l.field_count; ++i) {
    e.push_back({l.fields[i].name, zmo::sap::RfcTypeOfKind(l.fields[i].kind), l.fields[i].length,
                 l.fields[i].decimals, 0});
  }
  RFC_TYPEHANDLE h = 0;
  EXPECT_EQ(RfcInstallStructure(l.structure, e.data(), l.field_count, &h), RFC_OK);
  return h;
}

RFC_TYPEHANDLE InstallUnicode(const char* structure) {
  const StructLayout* f[3] = {FindLayout(structure, "610", 1), FindLayout(structure, "610", 2),
                              FindLayout(structure, "610", 4)};
  std::vector<RFC_UNICODE_TYPE_ELEMENT> e;
  for (unsigned i = 0; i < f[0]->field_count; ++i) {
    const FieldLayout& a = f[0]->fields[i];
    e.push_back({a.name, zmo::sap::RfcTypeOfKind(a.kind), a.decimals, a.length, a.offset,
                 f[1]->fields[i].length, f[1]->fields[i].offset, f[2]->fields[i].length,
                 f[2]->fields[i].offset});
  }
  RFC_TYPEHANDLE h = 0;
  EXPECT_EQ(RfcInstallUnicodeStructure(structure, e.data(), f[0]->field_count, 0, nullptr, &h),
            RFC_OK);
  return h;
}

// Every field of a probe record holds its own byte offset.
void ExpectProbe(const std::string& line, const StructLayout& l) {
  for (unsigned i = 0; i < l.field_count; ++i) {
    const FieldLayout& f = l.fields[i];
    SCOPED_TRACE(std::string(l.structure) + " " + l.tag + " " + f.name);
    switch (f.kind) {
      case FieldKind::kChar:
        EXPECT_EQ(Text(line, f.offset, f.length), std::to_string(f.offset));
        break;
      case FieldKind::kPacked:
        EXPECT_EQ(Packed(line, f.offset, f.length), f.offset);
        break;
      case FieldKind::kRaw: {
        unsigned long long v = 0;
        for (unsigned b = 0; b < f.length; ++b)
          v = v << 8 | static_cast<unsigned char>(line[f.offset + b]);
        EXPECT_EQ(v, f.offset % (1ull << (8 * f.length)));
        break;
      }
      case FieldKind::kInt:
      case FieldKind::kInt2:
        EXPECT_EQ(LittleEndian(line, f.offset, f.length), f.offset);
        break;
      case FieldKind::kFloat: {
        double d;
        std::memcpy(&d, line.data() + f.offset, 8);
        EXPECT_EQ(d, f.offset + 0.25);
        break;
      }
      case FieldKind::kDate:  // dates and times hold the record's real interval
        EXPECT_EQ(line.substr(f.offset, 8), "20240304");
        break;
      case FieldKind::kTime:
        EXPECT_EQ(line.substr(f.offset, 2), "10");
        break;
      default:
        ADD_FAILURE() << "no probe value for this kind";
        break;
    }
  }
}

TEST_F(ExampleLandscapeTest, EachSystemAnswersItsLogonSystemInfoAndRecords) {
  for (const Example& e : kExamples) {
    SCOPED_TRACE(e.name);
    RFC_HANDLE h = OpenExample(e);
    ASSERT_NE(h, RFC_HANDLE_NULL) << LastMessage();

    Params si;
    si.Out("RFCSI_EXPORT", 200);
    ASSERT_EQ(RfcCall(h, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_OK);
    ASSERT_EQ(RfcReceive(h, si.list(), nullptr, nullptr), RFC_OK);
    const std::string rfcsi = si.Value("RFCSI_EXPORT");
    EXPECT_EQ(Text(rfcsi, 53, 8), e.name);
    EXPECT_EQ(rfcsi.substr(111, 4), e.release);
    EXPECT_EQ(rfcsi.substr(130, 6), e.tzone);
    EXPECT_EQ(rfcsi.substr(136, 1), e.dayst);
    EXPECT_FALSE(Text(rfcsi, 69, 32).empty());

    Params out;
    out.Text("READ_END_DATE", "20240304", TYPDATE).Text("READ_END_TIME", "110000", TYPTIME);
    out.Text("READ_START_DATE", "20240304", TYPDATE).Text("READ_START_TIME", "100001", TYPTIME);
    out.Int("READ_CONTINUE_RECORDNO", 0);
    Params in;
    in.Out("FILE_ERROR", 128).Out("RECORDS_READ", 4, TYPINT);
    if (e.tag == nullptr) {  // unrecognised release: called without tables
      ASSERT_EQ(RfcCall(h, "SAPWL_STATREC_READ_FILE", out.list(), nullptr), RFC_OK);
      ASSERT_EQ(RfcReceive(h, in.list(), nullptr, nullptr), RFC_OK);
      EXPECT_EQ(in.IntValue("RECORDS_READ"), 0);
      RfcClose(RFC_HANDLE_NULL);
      continue;
    }
    const StructLayout* btc = FindLayout("SAPWLPFBTC", e.tag);
    const StructLayout* nrm = FindLayout("SAPWLPFNRM", e.tag);
    const bool unicode = std::strcmp(e.tag, "610") == 0;
    RFC_TYPEHANDLE btc_type = unicode ? InstallUnicode("SAPWLPFBTC") : Install(*btc);
    RFC_TYPEHANDLE nrm_type = unicode ? InstallUnicode("SAPWLPFNRM") : Install(*nrm);
    ITAB_H batch = ItCreate("V2_BTC_STEP_RECORDS", btc->line_size, 0, 0);
    ITAB_H normal = ItCreate("V2_NORMAL_RECORDS", nrm->line_size, 0, 0);
    Tables tables;
    tables.Add("V2_BTC_STEP_RECORDS", batch, btc_type).Add("V2_NORMAL_RECORDS", normal, nrm_type);
    ASSERT_EQ(RfcCall(h, "SAPWL_STATREC_READ_FILE", out.list(), tables.list()), RFC_OK)
        << LastMessage();
    ASSERT_EQ(RfcReceive(h, in.list(), tables.list(), nullptr), RFC_OK) << LastMessage();
    ASSERT_EQ(ItFill(batch), 2);
    ASSERT_EQ(ItFill(normal), 3);
    EXPECT_EQ(in.IntValue("RECORDS_READ"), 5);

    ExpectProbe(rfc_test::Line(batch, 1), *btc);
    ExpectProbe(rfc_test::Line(normal, 1), *nrm);

    // The dialog step, at the positions the conversion reads.
    const std::string d = rfc_test::Line(normal, 2);
    auto at = [&](const char* field) { return zmo::sap::FindField(nrm, field); };
    EXPECT_EQ(d.substr(at("ENDDATE")->offset, 14), "20240304103000");
    EXPECT_EQ(Packed(d, at("RESPTI")->offset, 8), 1499);
    EXPECT_EQ(Packed(d, at("CPUTI")->offset, at("CPUTI")->length), 1500);
    EXPECT_EQ(Packed(d, at("QUEUETI")->offset, 6), -25);
    EXPECT_EQ(static_cast<unsigned char>(d[at("QUEUETI")->offset + 5]) & 0xF, 0xD);
    EXPECT_EQ(static_cast<unsigned char>(d[at("TASKTYPE")->offset]), 0x01);
    EXPECT_EQ(d.substr(at("WPID")->offset, 2), std::string("\x00\x03", 2));
    EXPECT_EQ(Text(d, at("MANDT")->offset, 3), e.client);
    EXPECT_EQ(Text(d, at("ACCOUNT")->offset, 12), "SALES01");
    const std::string tcode = std::strcmp(e.tag, "3") == 0 ? "  VA" : "  VA01";
    EXPECT_EQ(d.substr(at("TCODE")->offset, tcode.size()), tcode);
    for (const char* part : {"READDIRTI", "READSEQTI", "INSTI", "UPDTI", "COMMITTI", "DELTI"}) {
      EXPECT_EQ(Packed(d, at(part)->offset, at(part)->length), 400) << part;
    }
    EXPECT_EQ(Packed(d, at("NTABCNT") ? at("NTABCNT")->offset : at("DSQLCNT")->offset, 6),
              at("NTABCNT") ? 461 : 0);
    if (at("GUITIME") != nullptr) {
      EXPECT_EQ(Packed(d, at("GUITIME")->offset, 6), 250);
    }
    // The unknown task type and the job step that ends on the interval's last second.
    EXPECT_EQ(static_cast<unsigned char>(rfc_test::Line(normal, 3)[at("TASKTYPE")->offset]), 0x0A);
    EXPECT_EQ(Text(rfc_test::Line(normal, 3), at("TCODE")->offset, at("TCODE")->length), "");
    const std::string job = rfc_test::Line(batch, 2);
    EXPECT_EQ(job.substr(zmo::sap::FindField(btc, "ENDTIME")->offset, 6), "110000");
    EXPECT_EQ(Text(job, zmo::sap::FindField(btc, "JOBNAME")->offset,
                   zmo::sap::FindField(btc, "JOBNAME")->length),
              "NIGHTLY_BILLING");

    ItDelete(batch);
    ItDelete(normal);
    RfcClose(RFC_HANDLE_NULL);
  }
}

TEST_F(ExampleLandscapeTest, WrongPasswordGivesNoHandleAndAnErrorText) {
  for (const Example& e : kExamples) {
    SCOPED_TRACE(e.name);
    Example wrong = e;
    wrong.password = "wrong";
    EXPECT_EQ(OpenExample(wrong), RFC_HANDLE_NULL);
    RFC_ERROR_INFO info;
    ASSERT_EQ(RfcLastError(&info), 0);
    EXPECT_STREQ(info.message, "Name or password is incorrect (repeat logon)");
  }
}

TEST_F(ExampleLandscapeTest, VolumeSystemMakesItsRecordsAnHour) {
  RFC_HANDLE h = Open("sapv46.example.net", 0, "100", "ZMOMON", "Volume46");
  ASSERT_NE(h, RFC_HANDLE_NULL);
  ITAB_H batch = ItCreate("V2_BTC_STEP_RECORDS", 576, 0, 0),
         normal = ItCreate("V2_NORMAL_RECORDS", 672, 0, 0);
  Tables tables;
  tables.Add("V2_BTC_STEP_RECORDS", batch).Add("V2_NORMAL_RECORDS", normal);
  Params out;
  out.Text("READ_START_DATE", "20240304").Text("READ_START_TIME", "100000");
  out.Text("READ_END_DATE", "20240304").Text("READ_END_TIME", "115959");
  ASSERT_EQ(RfcCall(h, "SAPWL_STATREC_READ_FILE", out.list(), tables.list()), RFC_OK);
  EXPECT_EQ(RfcListen(h), RFC_RETRY);  // 8 s to answer
  clock_->Advance(8000);
  EXPECT_EQ(RfcListen(h), RFC_OK);
  ASSERT_EQ(RfcReceive(h, nullptr, tables.list(), nullptr), RFC_OK);
  EXPECT_EQ(ItFill(normal), 1200);
  EXPECT_EQ(ItFill(batch), 40);
  ItDelete(batch);
  ItDelete(normal);
  RfcClose(h);
}

// What a snapshot cycle asks of a system with a database host, and of one
// without the destination function.
TEST_F(ExampleLandscapeTest, SnapshotCallsOfTheExamples) {
  for (const Example& e : {kExamples[0], kExamples[3]}) {
    SCOPED_TRACE(e.name);
    RFC_HANDLE h = OpenExample(e);
    ITAB_H functions = ItCreate("FUNCTIONS", 139, 0, 0);
    Tables t;
    t.Add("FUNCTIONS", functions);
    Params name;
    name.Text("FUNCNAME", "J_8C1_GET_DB_LOG_DEST");
    ASSERT_EQ(RfcCall(h, "RFC_FUNCTION_SEARCH", name.list(), t.list()), RFC_OK);
    ASSERT_EQ(RfcReceive(h, nullptr, t.list(), nullptr), RFC_OK);
    const bool has_db = std::strcmp(e.name, "T46") == 0;
    EXPECT_EQ(ItFill(functions), has_db ? 1 : 0);
    if (has_db) {
      Params dest;
      dest.Out("DESTINATION", 32).Out("LOCALITY", 10);
      ASSERT_EQ(RfcCall(h, "J_8C1_GET_DB_LOG_DEST", nullptr, nullptr), RFC_OK);
      ASSERT_EQ(RfcReceive(h, dest.list(), nullptr, nullptr), RFC_OK);
      ITAB_H cpu = ItCreate("TF_CPU_ALL", 48, 0, 0);
      Tables snap;
      snap.Add("TF_CPU_ALL", cpu);
      Params where;
      where.Text("LOCAL_REMOTE", dest.Value("LOCALITY").substr(0, 6))
          .Text("LOGICAL_DESTINATION", dest.Value("DESTINATION"));
      ASSERT_EQ(RfcCall(h, "FILL_SNAPSHOT_DATA", where.list(), snap.list()), RFC_OK);
      ASSERT_EQ(RfcReceive(h, nullptr, snap.list(), nullptr), RFC_OK);
      ASSERT_EQ(ItFill(cpu), 1);
      EXPECT_EQ(LittleEndian(rfc_test::Line(cpu, 1), 8, 4), 8);  // the database host's CPUs
      ItDelete(cpu);
    }
    ItDelete(functions);
    RfcClose(RFC_HANDLE_NULL);
  }
}

}  // namespace
