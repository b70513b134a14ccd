// The layout table against the record sizes the collectors create their
// tables with and every position the record conversion reads, and the rule
// that picks a release's layout.
#include "common/sap_layouts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using zmo::sap::FieldKind;
using zmo::sap::FieldLayout;
using zmo::sap::FindField;
using zmo::sap::FindLayout;
using zmo::sap::StatLayout;
using zmo::sap::StructLayout;

struct Size {
  const char* structure;
  const char* tag;
  unsigned width;
  unsigned bytes;
  unsigned fields;
};

TEST(SapLayoutsTest, LineSizesAndFieldCountsOfEveryLayout) {
  const Size kSizes[] = {
      {"SAPWLPFBTC", "3", 1, 504, 86},   {"SAPWLPFNRM", "3", 1, 512, 88},
      {"SAPWLPFBTC", "4", 1, 576, 85},   {"SAPWLPFNRM", "4", 1, 640, 88},
      {"SAPWLPFBTC", "45B", 1, 576, 85}, {"SAPWLPFNRM", "45B", 1, 640, 88},
      {"SAPWLPFBTC", "46C", 1, 576, 85}, {"SAPWLPFNRM", "46C", 1, 672, 93},
      {"SAPWLPFBTC", "610", 1, 528, 75}, {"SAPWLPFNRM", "610", 1, 632, 85},
      {"CPU_ALL", "", 1, 48, 13},        {"DSK_SINGLE", "", 1, 72, 11},
      {"LAN_SINGLE", "", 1, 40, 10},     {"MEM_ALL", "", 1, 48, 13},
      {"BTCSYSLOG", "", 1, 255, 1},      {"RFCFUNC", "", 1, 139, 5},
      {"RFCSI", "", 1, 200, 18},         {"TOP_SINGLE", "", 1, 68, 11},
  };
  for (const Size& s : kSizes) {
    SCOPED_TRACE(std::string(s.structure) + " " + s.tag);
    const StructLayout* l = FindLayout(s.structure, s.tag, s.width);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->line_size, s.bytes);
    EXPECT_EQ(l->field_count, s.fields);
  }
}

// Fields lie in order, never overlap, end inside the line, and the
// integers and floats sit on their natural boundaries.
TEST(SapLayoutsTest, FieldsAreOrderedDisjointAndAligned) {
  unsigned n = 0;
  const StructLayout* all = zmo::sap::AllLayouts(&n);
  ASSERT_GT(n, 0u);
  for (unsigned i = 0; i < n; ++i) {
    const StructLayout& l = all[i];
    SCOPED_TRACE(std::string(l.structure) + " " + l.tag + " width " + std::to_string(l.char_width));
    unsigned end = 0;
    for (unsigned f = 0; f < l.field_count; ++f) {
      const FieldLayout& fd = l.fields[f];
      SCOPED_TRACE(fd.name);
      EXPECT_GE(fd.offset, end);
      end = fd.offset + fd.length;
      const unsigned align = fd.kind == FieldKind::kInt     ? 4
                             : fd.kind == FieldKind::kInt2  ? 2
                             : fd.kind == FieldKind::kFloat ? 8
                                                            : 1;
      EXPECT_EQ(fd.offset % align, 0u);
    }
    EXPECT_LE(end, l.line_size);
    EXPECT_GT(end + 8, l.line_size);  // padding only up to the next 8-byte boundary
  }
}

struct Read {
  const char* field;
  unsigned offset;
  unsigned length;
  FieldKind kind;
};

void ExpectReads(const char* structure, const char* tag, const std::vector<Read>& reads) {
  const StructLayout* l = FindLayout(structure, tag);
  ASSERT_NE(l, nullptr) << structure << " " << tag;
  for (const Read& r : reads) {
    SCOPED_TRACE(std::string(structure) + " " + tag + " " + r.field);
    const FieldLayout* f = FindField(l, r.field);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->offset, r.offset);
    EXPECT_EQ(f->length, r.length);
    EXPECT_EQ(f->kind, r.kind);
  }
}

constexpr FieldKind C = FieldKind::kChar, D = FieldKind::kDate, T = FieldKind::kTime,
                    P = FieldKind::kPacked, X = FieldKind::kRaw;

// What every branch reads at the same place: the interval and the times.
std::vector<Read> Common() {
  return {{"STARTDATE", 12, 8, D},
          {"STARTTIME", 20, 6, T},
          {"ENDDATE", 26, 8, D},
          {"ENDTIME", 34, 6, T},
          {"RESPTI", 40, 8, P}};
}

// The counters of the 3.x branches; the 4.x branches read them 20 bytes on.
std::vector<Read> Counters3x(unsigned shift) {
  std::vector<Read> r = {
      {"READDIRTI", 185, 6, P},  {"READSEQTI", 209, 6, P}, {"INSTI", 239, 6, P},
      {"UPDTI", 263, 6, P},      {"COMMITTI", 305, 6, P},  {"DELTI", 287, 6, P},
      {"NTABCNT", 335, 6, P},    {"DSQLCNT", 341, 6, P},   {"ABAPSCNT", 347, 6, P},
      {"ABAPLCNT", 353, 6, P},   {"DYNPSCNT", 359, 6, P},  {"DYNPLCNT", 365, 6, P},
      {"CUALCNT", 371, 6, P},    {"QUECNT", 377, 6, P},    {"DDICCNT", 389, 6, P},
      {"RFCCNT", 401, 6, P},     {"PHYINSCNT", 251, 6, P}, {"PHYUPDCNT", 275, 6, P},
      {"PHYDELCNT", 299, 6, P},  {"MAXROLL", 119, 6, P},   {"MAXPAGE", 125, 6, P},
      {"GENERATETI", 311, 6, P}, {"CUALOADTI", 323, 6, P}, {"REPLOADTI", 317, 6, P},
      {"DYNPLOADTI", 329, 6, P}};
  for (Read& x : r) x.offset += shift;
  return r;
}

std::vector<Read> Join(std::vector<std::vector<Read>> parts) {
  std::vector<Read> out;
  for (auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(SapLayoutsTest, EveryPositionTheConversionReadsIn3x) {
  const auto base = Join({Common(),
                          Counters3x(0),
                          {{"CPUTI", 48, 6, P},
                           {"QUEUETI", 54, 6, P},
                           {"MCTI", 416, 6, P},
                           {"PRIVSUM", 452, 6, P},
                           {"USEDBYTES", 458, 6, P},
                           {"WPID", 68, 2, X},
                           {"TASKTYPE", 70, 1, X},
                           {"MANDT", 100, 3, C},
                           {"DYNPRONR", 76, 4, C},
                           {"ACCOUNT", 88, 12, C},
                           {"TCODE", 72, 4, C}}});
  ExpectReads("SAPWLPFBTC", "3", base);
  ExpectReads("SAPWLPFNRM", "3", base);
}

TEST(SapLayoutsTest, EveryPositionTheConversionReadsIn4x) {
  const auto base = Join({Common(),
                          Counters3x(20),
                          {{"CPUTI", 48, 6, P},
                           {"QUEUETI", 54, 6, P},
                           {"MCTI", 440, 6, P},
                           {"PRIVSUM", 476, 6, P},
                           {"USEDBYTES", 482, 6, P},
                           {"WPID", 60, 2, X},
                           {"TASKTYPE", 62, 1, X},
                           {"MANDT", 120, 3, C},
                           {"DYNPRONR", 64, 4, C},
                           {"ACCOUNT", 108, 12, C}}});
  ExpectReads("SAPWLPFBTC", "4", Join({base, {{"RFCCNT", 421, 6, P}, {"MAXROLL", 139, 6, P}}}));
  ExpectReads("SAPWLPFBTC", "45B", base);
  ExpectReads("SAPWLPFBTC", "46C", base);
  ExpectReads("SAPWLPFNRM", "4", Join({base, {{"TCODE", 612, 20, C}}}));
  ExpectReads("SAPWLPFNRM", "45B", Join({base, {{"TCODE", 612, 20, C}}}));
  ExpectReads("SAPWLPFNRM", "46C",
              Join({base,
                    {{"TCODE", 624, 20, C},
                     {"CUA_PROG", 564, 40, C},
                     {"GUITIME", 652, 6, P},
                     {"GUICNT", 658, 6, P},
                     {"GUINETTIME", 664, 6, P}}}));
}

TEST(SapLayoutsTest, EveryPositionTheConversionReadsIn610) {
  const auto base = Join(
      {Common(), {{"CPUTI", 48, 8, P},       {"READSEQTI", 219, 8, P}, {"READDIRTI", 195, 6, P},
                  {"INSTI", 251, 6, P},      {"UPDTI", 275, 6, P},     {"COMMITTI", 317, 6, P},
                  {"DELTI", 299, 6, P},      {"DSQLCNT", 347, 6, P},   {"QUECNT", 353, 6, P},
                  {"RFCCNT", 371, 6, P},     {"PHYINSCNT", 263, 6, P}, {"PHYUPDCNT", 287, 6, P},
                  {"PHYDELCNT", 311, 6, P},  {"QUEUETI", 56, 6, P},    {"PRIVSUM", 398, 6, P},
                  {"USEDBYTES", 404, 6, P},  {"MAXROLL", 141, 6, P},   {"MAXPAGE", 147, 6, P},
                  {"GENERATETI", 323, 6, P}, {"CUALOADTI", 335, 6, P}, {"REPLOADTI", 329, 6, P},
                  {"DYNPLOADTI", 341, 6, P}, {"TASKTYPE", 64, 1, X},   {"WPID", 62, 2, X},
                  {"MANDT", 122, 3, C},      {"DYNPRONR", 66, 4, C},   {"ACCOUNT", 110, 12, C}}});
  ExpectReads("SAPWLPFBTC", "610", base);
  ExpectReads("SAPWLPFNRM", "610",
              Join({base,
                    {{"Tcode", 568, 20, C},
                     {"Cua_prog", 508, 40, C},
                     {"Guitime", 596, 6, P},
                     {"Guicnt", 602, 6, P},
                     {"Guinettime", 608, 6, P}}}));
}

// The 3.x, 4.0 and 4.5B normal branches were described as reading the
// program name from fixed windows (8 characters at 492, 36 at 556) that are
// not the CUA_PROG field: they cut its start and, in 3.x, run into
// CUA_FUNC. The table gives the whole field, which decoders read instead.
TEST(SapLayoutsTest, ProgramNameIsTheWholeCuaProgField) {
  struct Case {
    const char* tag;
    unsigned window_offset, window_length, field_offset;
  };
  for (const Case& c :
       {Case{"3", 492, 8, 490}, Case{"4", 556, 36, 552}, Case{"45B", 556, 36, 552}}) {
    SCOPED_TRACE(c.tag);
    const StructLayout* l = FindLayout("SAPWLPFNRM", c.tag);
    const FieldLayout* f = FindField(l, "CUA_PROG");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->offset, c.field_offset);
    EXPECT_EQ(f->length, std::strcmp(c.tag, "3") == 0 ? 8u : 40u);
    EXPECT_LT(f->offset, c.window_offset);  // the window starts inside the field
    EXPECT_LE(c.window_offset + c.window_length, l->line_size);
  }
}

TEST(SapLayoutsTest, SystemInfoPositions) {
  ExpectReads("RFCSI", "",
              {{"RFCSYSID", 53, 8, C},
               {"RFCDBHOST", 69, 32, C},
               {"RFCSAPRL", 111, 4, C},
               {"RFCTZONE", 130, 6, C},
               {"RFCDAYST", 136, 1, C}});
}

TEST(SapLayoutsTest, MonitoringStructuresAsTheLibraryLaysThemOut) {
  using FK = FieldKind;
  ExpectReads("CPU_ALL", "",
              {{"TYPE", 0, 2, FK::kInt2},
               {"SERIALNR", 4, 2, FK::kInt2},
               {"NBR_CPU", 8, 4, FK::kInt},
               {"IDLE_TOTAL", 44, 4, FK::kInt}});
  ExpectReads("DSK_SINGLE", "",
              {{"DISKNAME", 6, 36, C}, {"UTIL", 44, 4, FK::kInt}, {"RESPONSE", 68, 4, FK::kInt}});
  ExpectReads(
      "LAN_SINGLE", "",
      {{"LANNAME", 6, 8, C}, {"IN_PACKETS", 16, 4, FK::kInt}, {"PACKETS", 36, 4, FK::kInt}});
  ExpectReads("MEM_ALL", "", {{"IN_PG_SEC", 8, 4, FK::kInt}, {"SWAP_MAX", 44, 4, FK::kInt}});
  ExpectReads("RFCFUNC", "", {{"FUNCNAME", 0, 30, C}, {"STEXT", 65, 74, C}});
}

// The 2- and 4-byte forms of 6.10 have the same fields with characters
// two and four bytes wide.
TEST(SapLayoutsTest, UnicodeFormsOf610) {
  for (const char* s : {"SAPWLPFBTC", "SAPWLPFNRM"}) {
    const StructLayout* one = FindLayout(s, "610", 1);
    for (unsigned width : {2u, 4u}) {
      SCOPED_TRACE(std::string(s) + " width " + std::to_string(width));
      const StructLayout* wide = FindLayout(s, "610", width);
      ASSERT_NE(wide, nullptr);
      ASSERT_EQ(wide->field_count, one->field_count);
      EXPECT_EQ(wide->char_width, width);
      for (unsigned i = 0; i < one->field_count; ++i) {
        const FieldLayout &a = one->fields[i], &b = wide->fields[i];
        EXPECT_STREQ(a.name, b.name);
        EXPECT_EQ(a.kind, b.kind);
        const bool chars = a.kind == C || a.kind == D || a.kind == T || a.kind == FieldKind::kNumc;
        EXPECT_EQ(b.length, chars ? a.length * width : a.length) << a.name;
        EXPECT_EQ(b.offset % (chars ? width : 1), 0u) << a.name;
      }
    }
  }
  EXPECT_EQ(FindLayout("SAPWLPFNRM", "46C", 2), nullptr);
}

TEST(SapLayoutsTest, ReleaseSelectsTheLayoutTag) {
  struct Case {
    const char* release;
    const char* tag;
  };
  for (const Case& c :
       {Case{"31I", "3"}, Case{"30F", "3"}, Case{"40B", "4"}, Case{"45B", "45B"},
        Case{"46C", "46C"}, Case{"46D", "46C"}, Case{"47", "46C"}, Case{"610", "610"},
        Case{"620", "610"}, Case{"700", nullptr}, Case{"", nullptr}, Case{"X46", nullptr}}) {
    const char* tag = zmo::sap::StatLayoutTag(c.release);
    if (c.tag == nullptr) {
      EXPECT_EQ(tag, nullptr) << c.release;
    } else {
      ASSERT_NE(tag, nullptr) << c.release;
      EXPECT_STREQ(tag, c.tag) << c.release;
    }
  }
  EXPECT_EQ(zmo::sap::StatLayoutTag(nullptr), nullptr);
}

TEST(SapLayoutsTest, LookupsIgnoreCaseAndRefuseUnknowns) {
  const StructLayout* l = FindLayout("sapwlpfnrm", "610");
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(FindField(l, "TCODE"), FindField(l, "Tcode"));
  EXPECT_EQ(FindField(l, "NOSUCH"), nullptr);
  EXPECT_EQ(FindField(nullptr, "TCODE"), nullptr);
  EXPECT_EQ(FindLayout("SAPWLPFNRM", "700"), nullptr);
  EXPECT_EQ(FindLayout(nullptr, ""), nullptr);
  EXPECT_EQ(zmo::sap::RfcTypeOfKind(FieldKind::kPacked), TYPP);
  EXPECT_EQ(zmo::sap::RfcTypeOfKind(FieldKind::kInt2), TYPINT2);
  EXPECT_EQ(zmo::sap::RfcTypeOfKind(FieldKind::kRaw), TYPX);
}

struct ReleaseCase {
  const char* release;
  std::optional<StatLayout> layout;
};

TEST(SapLayoutsTest, ReleaseLayoutByTheFirstCharacterAndForFourTheSecond) {
  const std::vector<ReleaseCase> cases = {
      {"31I", StatLayout::k3},   {"30F", StatLayout::k3},   {"3", StatLayout::k3},
      {"40B", StatLayout::k4},   {"40A", StatLayout::k4},   {"45B", StatLayout::k45B},
      {"45A", StatLayout::k45B}, {"46C", StatLayout::k46C}, {"46D", StatLayout::k46C},
      {"47X", StatLayout::k46C}, {"4", StatLayout::k46C},   {"620", StatLayout::k610},
      {"610", StatLayout::k610}, {"640", StatLayout::k610}, {"700", std::nullopt},
      {"", std::nullopt},        {"B46", std::nullopt},     {" 46", std::nullopt},
  };
  for (const ReleaseCase& c : cases) {
    EXPECT_EQ(zmo::sap::StatLayoutOfRelease(c.release), c.layout)
        << "release \"" << c.release << "\"";
  }
  EXPECT_EQ(zmo::sap::StatLayoutOfRelease(nullptr), std::nullopt);
}

TEST(SapLayoutsTest, LayoutTags) {
  EXPECT_STREQ(zmo::sap::StatLayoutTag(StatLayout::k3), "3");
  EXPECT_STREQ(zmo::sap::StatLayoutTag(StatLayout::k45B), "45B");
  EXPECT_STREQ(zmo::sap::StatLayoutTag(StatLayout::k46C), "46C");
  EXPECT_STREQ(zmo::sap::StatLayoutTag(StatLayout::k4), "4");
  EXPECT_STREQ(zmo::sap::StatLayoutTag(StatLayout::k610), "610");
  // Every release layout has both structures in the table under its tag.
  for (int i = 0; i < zmo::sap::kStatLayoutCount; ++i) {
    const auto layout = static_cast<StatLayout>(i);
    EXPECT_NE(FindLayout(zmo::sap::kBatchStructure, layout), nullptr) << i;
    EXPECT_NE(FindLayout(zmo::sap::kNormalStructure, layout), nullptr) << i;
  }
}

}  // namespace
