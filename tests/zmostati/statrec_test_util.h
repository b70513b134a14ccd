// Shared by the record writer's tests: table lines built by hand from the
// layout table (so the tests do not lean on the decoder's own reading),
// the standard values every golden line is made of, internal tables filled
// with such lines, and a conversion into a string.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/db_kind.h"
#include "common/sap_layouts.h"
#include "common/trace_log.h"
#include "rfc/sapitab.h"
#include "rfc/simulator.h"
#include "stati_test_env.h"
#include "zmostati/statrec.h"

namespace statrec_test {

using namespace zmo::stati;

using zmo::sap::FieldKind;
using zmo::sap::StructLayout;

inline const StructLayout* Layout(const char* tag, bool batch) {
  return zmo::sap::FindLayout(batch ? zmo::sap::kBatchStructure : zmo::sap::kNormalStructure, tag,
                              1);
}

// One table line of a layout, every field at its initial value (blanks,
// zero digits, packed zero, zero bytes) until a test sets it.
class Line {
 public:
  explicit Line(const StructLayout* layout) : layout_(layout), bytes_(layout->line_size, '\0') {
    for (unsigned i = 0; i < layout->field_count; ++i) {
      const zmo::sap::FieldLayout& f = layout->fields[i];
      switch (f.kind) {
        case FieldKind::kChar:
          std::memset(&bytes_[f.offset], ' ', f.length);
          break;
        case FieldKind::kDate:
        case FieldKind::kTime:
        case FieldKind::kNumc:
          std::memset(&bytes_[f.offset], '0', f.length);
          break;
        case FieldKind::kPacked:
          PutPacked(f, 0);
          break;
        default:
          break;
      }
    }
  }

  // Characters, blank-padded; the text must fit.
  Line& Text(const char* name, const std::string& text) {
    const zmo::sap::FieldLayout& f = Field(name);
    EXPECT_LE(text.size(), f.length) << name;
    std::memset(&bytes_[f.offset], ' ', f.length);
    std::memcpy(&bytes_[f.offset], text.data(), std::min<size_t>(text.size(), f.length));
    return *this;
  }
  // Raw bytes, exactly the field's length.
  Line& Raw(const char* name, const std::string& bytes) {
    const zmo::sap::FieldLayout& f = Field(name);
    EXPECT_EQ(bytes.size(), f.length) << name;
    std::memcpy(&bytes_[f.offset], bytes.data(), std::min<size_t>(bytes.size(), f.length));
    return *this;
  }
  // A packed decimal of the field's length: 2n - 1 digits and the sign C
  // (D for a negative value).
  Line& Packed(const char* name, long long value) {
    PutPacked(Field(name), value);
    return *this;
  }
  // The bytes of a packed field, given directly (for signs and nibbles no
  // value has).
  Line& PackedBytes(const char* name, const std::string& bytes) { return Raw(name, bytes); }
  // Whether the layout has the field.
  bool Has(const char* name) const { return zmo::sap::FindField(layout_, name) != nullptr; }

  const std::string& bytes() const { return bytes_; }
  const StructLayout* layout() const { return layout_; }

 private:
  const zmo::sap::FieldLayout& Field(const char* name) {
    const zmo::sap::FieldLayout* f = zmo::sap::FindField(layout_, name);
    if (f == nullptr) {
      ADD_FAILURE() << layout_->structure << " " << layout_->tag << " has no field " << name;
      static zmo::sap::FieldLayout none{"", 0, 0, FieldKind::kChar, 0};
      return none;
    }
    return *f;
  }
  void PutPacked(const zmo::sap::FieldLayout& f, long long value) {
    const bool negative = value < 0;
    unsigned long long v = negative ? 0ull - static_cast<unsigned long long>(value)
                                    : static_cast<unsigned long long>(value);
    const unsigned digits = 2 * f.length - 1;
    std::string nibbles(digits, 0);
    for (unsigned i = digits; i-- > 0;) {
      nibbles[i] = static_cast<char>(v % 10);
      v /= 10;
    }
    EXPECT_EQ(v, 0u) << f.name << " does not hold " << value;
    nibbles.push_back(static_cast<char>(negative ? 0xD : 0xC));
    for (unsigned i = 0; i < f.length; ++i) {
      bytes_[f.offset + i] = static_cast<char>(nibbles[2 * i] << 4 | nibbles[2 * i + 1]);
    }
  }

  const StructLayout* layout_;
  std::string bytes_;
};

// The read fields and what each standard value converts to.
//   RESPTI 123456 ms -> 123 s, CPUTI 45500 -> 46, QUEUETI 7499 -> 7;
//   database time READDIRTI 1500 (2), READSEQTI 2500 (3), INSTI 400 (0),
//   UPDTI 3600 (4), COMMITTI 10000 (10), MCTI 20000 (20), DELTI 499 (0):
//   39 s, 19 s without MCTI (6.10);
//   bytes NTABCNT 1000, DSQLCNT 2048, ABAPSCNT 3000, ABAPLCNT 4000,
//   DYNPSCNT 5000, DYNPLCNT 6000, CUALCNT 7000, QUECNT 8192, DDICCNT 9000,
//   RFCCNT 10240: 55480 -> 54 KB; DSQLCNT + QUECNT + RFCCNT 20480 -> 20 KB;
//   PHYINSCNT 11 + PHYUPDCNT 22 + PHYDELCNT 33 = 66;
//   PRIVSUM 1048576 + USEDBYTES 524288 + MAXROLL 262144 + MAXPAGE 1000 =
//   1836008 -> 1793 KB;
//   GENERATETI 1500 (2), CUALOADTI 2499 (2), REPLOADTI 500 (1),
//   DYNPLOADTI 99999 (100): 105 s;
//   GUITIME 3500 -> 4, GUICNT 2500 -> 3, GUINETTIME 600 -> 1.
struct PackedValue {
  const char* name;
  long long value;
};
constexpr PackedValue kStandardPacked[] = {
    {"RESPTI", 123456},    {"CPUTI", 45500},    {"QUEUETI", 7499},     {"READDIRTI", 1500},
    {"READSEQTI", 2500},   {"INSTI", 400},      {"UPDTI", 3600},       {"COMMITTI", 10000},
    {"MCTI", 20000},       {"DELTI", 499},      {"NTABCNT", 1000},     {"DSQLCNT", 2048},
    {"ABAPSCNT", 3000},    {"ABAPLCNT", 4000},  {"DYNPSCNT", 5000},    {"DYNPLCNT", 6000},
    {"CUALCNT", 7000},     {"QUECNT", 8192},    {"DDICCNT", 9000},     {"RFCCNT", 10240},
    {"PHYINSCNT", 11},     {"PHYUPDCNT", 22},   {"PHYDELCNT", 33},     {"PRIVSUM", 1048576},
    {"USEDBYTES", 524288}, {"MAXROLL", 262144}, {"MAXPAGE", 1000},     {"GENERATETI", 1500},
    {"CUALOADTI", 2499},   {"REPLOADTI", 500},  {"DYNPLOADTI", 99999}, {"GUITIME", 3500},
    {"GUICNT", 2500},      {"GUINETTIME", 600},
};

// Every field the conversion does not read carries a value of its own, so
// that reading a neighbour instead shows in the record.
inline void Poison(Line* line) {
  const StructLayout* l = line->layout();
  long long poison = 70001;
  for (unsigned i = 0; i < l->field_count; ++i) {
    const zmo::sap::FieldLayout& f = l->fields[i];
    if (f.kind == FieldKind::kPacked) line->Packed(f.name, poison += 1111);
    if (f.kind == FieldKind::kChar) line->Text(f.name, std::string(f.length, 'Q'));
  }
}

// The standard line of a branch: the values above, the client 100, the
// interval 2024-01-31 23:59:59 to 2024-02-01 00:00:04, T_CODE "  VA" (3.x)
// or "  VA01" that the writer gives without its leading blanks, screen
// 4001, user SALES01, work process 0x001F, task type dialog (batch: 04).
inline Line StandardLine(const char* tag, bool batch) {
  Line line(Layout(tag, batch));
  Poison(&line);
  for (const PackedValue& v : kStandardPacked) {
    if (line.Has(v.name)) line.Packed(v.name, v.value);
  }
  line.Text("MANDT", "100")
      .Text("STARTDATE", "20240131")
      .Text("STARTTIME", "235959")
      .Text("ENDDATE", "20240201")
      .Text("ENDTIME", "000004")
      .Text("DYNPRONR", "4001")
      .Text("ACCOUNT", "SALES01")
      .Raw("WPID", std::string("\x00\x1F", 2))
      .Raw("TASKTYPE", batch ? "\x04" : "\x01");
  if (line.Has("TCODE")) line.Text("TCODE", std::strcmp(tag, "3") == 0 ? "  VA" : "  VA01");
  if (line.Has("CUA_PROG")) {
    line.Text("CUA_PROG",
              std::strcmp(tag, "3") == 0 ? "SAPMV45A" : "SAPMV45A_ORDER_ENTRY_PROGRAM_OF_40_CHARS");
  }
  return line;
}

// An internal table of the layout's line length holding the lines.
inline ITAB_H MakeTable(const char* name, const std::vector<Line>& lines, unsigned leng = 0) {
  const unsigned size = leng != 0 ? leng : lines.empty() ? 100 : lines[0].layout()->line_size;
  ITAB_H table = ItCreate(name, size, 0, 0);
  EXPECT_NE(table, ITAB_NULL);
  for (const Line& l : lines) {
    void* p = ItAppLine(table);
    EXPECT_NE(p, nullptr);
    std::memcpy(p, l.bytes().data(), std::min<size_t>(size, l.bytes().size()));
  }
  return table;
}

// The widths and names of the 24 StatRecord fields in the Oracle form.
struct Column {
  const char* name;
  int width;
};
constexpr Column kColumns[] = {
    {"RECORD_TYPE", 1},   {"RFC_DEST_STR", 20}, {"HOST_NAME", 30},    {"SYSTEM_LABEL", 34},
    {"CLIENT", 3},        {"START_DATE", 14},   {"END_DATE", 14},     {"T_CODE", 20},
    {"DYNPRO_NUMBER", 4}, {"CUA_PROG", 40},     {"WP_ID", 4},         {"TASK_TYPE", 1},
    {"USER_NAME", 30},    {"CPU_TIME", 8},      {"RESPONSE_TIME", 8}, {"DATABASE_TIME", 8},
    {"KB_TRANSFERED", 8}, {"KB_CHANGED", 12},   {"WAIT_TIME", 8},     {"MEMORY_USED", 8},
    {"LOAD_TIME", 8},     {"GUI_TIME", 8},      {"GUI_COUNT", 8},     {"GUI_NET_TIME", 8},
};
constexpr int kOracleColumns = 307;

// Compares an Oracle line column by column (naming the first that
// differs), then as a whole.
inline void ExpectOracleLine(const std::string& got, const std::string& want) {
  ASSERT_EQ(want.size(), static_cast<size_t>(kOracleColumns + 2)) << "the expected line itself";
  size_t pos = 0;
  for (const Column& c : kColumns) {
    EXPECT_EQ(got.substr(pos, c.width), want.substr(pos, c.width))
        << c.name << " (columns " << pos + 1 << "-" << pos + c.width << ")";
    pos += c.width;
  }
  EXPECT_EQ(got, want);
}

// The test's own world: zmostati's state and runtime reset, the trace on,
// the RFC stand-in at its start with no landscape.
class StatrecTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zmo::rfc::SimReset();
    unsetenv(zmo::rfc::kSystemsEnv);
    zmo::SetTraceSwitch(1);
    zmo::setDatabaseKind(zmo::DbKind::kOracle);
  }
  void TearDown() override { zmo::rfc::SimReset(); }

  // A job for the standard server: host app1.example.net, system S01 on
  // database host db1, system number 00, release 46C, every metric, in the
  // form of kind_.
  StatiConvertJob Job(const char* release = "46C") {
    StatiConvertJob job;
    job.kind = kind_;
    job.layout = zmo::sap::StatLayoutOfRelease(release);
    job.host = "app1.example.net";
    job.shortHost = "app1";
    job.systemId = "S01";
    job.dbHost = "db1";
    job.sysnr = 0;
    job.allMetrics = 1;
    job.metrics = metrics_;
    return job;
  }

  // Runs the conversion into a memory file; *rc gets its result.
  std::string Convert(StatiConvertJob job, int* rc = nullptr) {
    char* data = nullptr;
    size_t size = 0;
    std::FILE* f = open_memstream(&data, &size);
    EXPECT_NE(f, nullptr);
    job.file = f;
    const int result = statiConvertTables(job);
    if (rc != nullptr) *rc = result;
    std::fclose(f);
    std::string out(data, size);
    std::free(data);
    return out;
  }

  // The one line a table of one line converts to.
  std::string ConvertOne(const Line& line, bool batch, const char* release, int* rc = nullptr) {
    ITAB_H table = MakeTable(batch ? "V2_BTC_STEP_RECORDS" : "V2_NORMAL_RECORDS", {line});
    StatiConvertJob job = Job(release);
    job.batchFlag = batch;
    job.normalFlag = !batch;
    (batch ? job.batchTable : job.normalTable) = table;
    std::string out = Convert(job, rc);
    ItDelete(table);
    return out;
  }

  StatiTestEnv env_;
  zmo::DbKind kind_ = zmo::DbKind::kOracle;  // the kind Job() hands on
  bool metrics_[zmo::kMetricSwitchCount] = {};
};

}  // namespace statrec_test
