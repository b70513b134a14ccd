// Installed structures: the library's own alignment reproduces the layout
// table, explicit offsets are checked, and a table passed with a structure
// that does not match the system's layout is refused at the call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rfc_test_util.h"

namespace {

using zmo::sap::FindLayout;
using zmo::sap::StructLayout;

std::vector<RFC_TYPE_ELEMENT> Elements(const StructLayout& l) {
  std::vector<RFC_TYPE_ELEMENT> e;
  for (unsigned i = 0; i < l.field_count; ++i) {
    e.push_back({l.fields[i].name, zmo::sap::RfcTypeOfKind(l.fields[i].kind), l.fields[i].length,
                 l.fields[i].decimals, 0});
  }
  return e;
}

std::vector<RFC_UNICODE_TYPE_ELEMENT> UnicodeElements(const char* structure) {
  const StructLayout* f1 = FindLayout(structure, "610", 1);
  const StructLayout* f2 = FindLayout(structure, "610", 2);
  const StructLayout* f4 = FindLayout(structure, "610", 4);
  std::vector<RFC_UNICODE_TYPE_ELEMENT> e;
  for (unsigned i = 0; i < f1->field_count; ++i) {
    e.push_back({f1->fields[i].name, zmo::sap::RfcTypeOfKind(f1->fields[i].kind),
                 f1->fields[i].decimals, f1->fields[i].length, f1->fields[i].offset,
                 f2->fields[i].length, f2->fields[i].offset, f4->fields[i].length,
                 f4->fields[i].offset});
  }
  return e;
}

class StructuresTest : public rfc_test::RfcTest {};

// Installing each non-Unicode layout from its names, types and lengths lays
// its fields out exactly where the table says.
TEST_F(StructuresTest, LibraryAlignmentGivesTheTablesOffsets) {
  unsigned n = 0;
  const StructLayout* all = zmo::sap::AllLayouts(&n);
  RFC_TYPEHANDLE previous = 0;
  for (unsigned i = 0; i < n; ++i) {
    const StructLayout& l = all[i];
    if (std::string(l.tag) == "610") continue;
    SCOPED_TRACE(std::string(l.structure) + " " + l.tag);
    auto e = Elements(l);
    RFC_TYPEHANDLE h = 0;
    ASSERT_EQ(RfcInstallStructure(l.structure, e.data(), static_cast<unsigned>(e.size()), &h),
              RFC_OK);
    EXPECT_GT(h, previous);
    previous = h;
    for (unsigned f = 0; f < l.field_count; ++f)
      EXPECT_EQ(e[f].offset, l.fields[f].offset) << l.fields[f].name;
  }
}

TEST_F(StructuresTest, UnicodeLayoutsInstallWithTheirOffsets) {
  for (const char* s : {"SAPWLPFBTC", "SAPWLPFNRM"}) {
    auto e = UnicodeElements(s);
    RFC_TYPEHANDLE h = 0;
    EXPECT_EQ(
        RfcInstallUnicodeStructure(s, e.data(), static_cast<unsigned>(e.size()), 0, nullptr, &h),
        RFC_OK)
        << s;
    EXPECT_NE(h, 0u);
  }
}

TEST_F(StructuresTest, ImpossibleStructuresAreRefused) {
  struct Case {
    std::vector<RFC_TYPE_ELEMENT> elements;
    const char* message;
  };
  const Case kCases[] = {
      {{{"A", TYPINT, 2, 0, 0}},
       "structure S not installed: field A: length 2 does not fit its type"},
      {{{"A", TYPC, 0, 0, 0}},
       "structure S not installed: field A: length 0 does not fit its type"},
      {{{"A", TYPP, 17, 0, 0}},
       "structure S not installed: field A: length 17 does not fit its type"},
      {{{"A", 5, 4, 0, 0}}, "structure S not installed: field A: type 5 is not elementary"},
      {{}, "structure S not installed: no fields"},
  };
  for (const Case& c : kCases) {
    auto e = c.elements;
    RFC_TYPEHANDLE h = 0;
    EXPECT_EQ(RfcInstallStructure("S", e.data(), static_cast<unsigned>(e.size()), &h), RFC_FAILURE);
    EXPECT_EQ(LastMessage(), c.message);
    EXPECT_EQ(h, 0u);
  }
  RFC_UNICODE_TYPE_ELEMENT overlap[] = {{"A", TYPC, 0, 4, 0, 8, 0, 16, 0},
                                        {"B", TYPC, 0, 2, 2, 4, 8, 8, 16}};
  RFC_TYPEHANDLE h = 0;
  EXPECT_EQ(RfcInstallUnicodeStructure("U", overlap, 2, 0, nullptr, &h), RFC_FAILURE);
  EXPECT_EQ(LastMessage(),
            "structure U not installed: field B: offset 2 overlaps or is misaligned");
  RFC_UNICODE_TYPE_ELEMENT narrow[] = {{"A", TYPC, 0, 4, 0, 4, 0, 16, 0}};
  EXPECT_EQ(RfcInstallUnicodeStructure("U", narrow, 1, 0, nullptr, &h), RFC_FAILURE);
  EXPECT_EQ(LastMessage(), "structure U: field A has lengths that do not match its type");
  EXPECT_EQ(RfcInstallStructure(nullptr, nullptr, 0, &h), RFC_FAILURE);
}

TEST_F(StructuresTest, InstallFaultsHitTheNamedStructureAndSize) {
  ASSERT_EQ(zmo::WriteFileAtomic(dir_.File("library.conf"),
                                 "[faults]\ninstall = SAPWLPFBTC 504\ninstall = RFCSI\n"),
            0);
  zmo::rfc::SimReset();
  auto btc3 = Elements(*FindLayout("SAPWLPFBTC", "3"));
  auto btc4 = Elements(*FindLayout("SAPWLPFBTC", "4"));
  auto rfcsi = Elements(*FindLayout("RFCSI", ""));
  RFC_TYPEHANDLE h = 0;
  EXPECT_EQ(RfcInstallStructure("SAPWLPFBTC", btc3.data(), static_cast<unsigned>(btc3.size()), &h),
            RFC_FAILURE);
  EXPECT_EQ(LastMessage(), "structure SAPWLPFBTC not installed: fault of the simulated library");
  EXPECT_EQ(RfcInstallStructure("SAPWLPFBTC", btc4.data(), static_cast<unsigned>(btc4.size()), &h),
            RFC_OK);
  EXPECT_EQ(RfcInstallStructure("rfcsi", rfcsi.data(), static_cast<unsigned>(rfcsi.size()), &h),
            RFC_FAILURE);
}

// A statistic table passed with an installed structure must match the
// release's layout field by field; line lengths must match a form.
TEST_F(StructuresTest, CallRefusesTablesThatDoNotFitTheRelease) {
  WriteSystem("s01", rfc_test::kBaseSystem);  // release 46C
  RFC_HANDLE h = OpenBase();
  rfc_test::Params out;
  out.Text("READ_START_DATE", "20240304", TYPDATE).Text("READ_START_TIME", "100001", TYPTIME);
  out.Text("READ_END_DATE", "20240304", TYPDATE).Text("READ_END_TIME", "110000", TYPTIME);

  auto good = Elements(*FindLayout("SAPWLPFNRM", "46C"));
  auto wrong = good;
  wrong[14].length = 30;  // REPORT
  RFC_TYPEHANDLE good_type = 0, wrong_type = 0, old_type = 0;
  ASSERT_EQ(RfcInstallStructure("SAPWLPFNRM", good.data(), static_cast<unsigned>(good.size()),
                                &good_type),
            RFC_OK);
  ASSERT_EQ(RfcInstallStructure("SAPWLPFNRM", wrong.data(), static_cast<unsigned>(wrong.size()),
                                &wrong_type),
            RFC_OK);
  auto old = Elements(*FindLayout("SAPWLPFNRM", "4"));
  ASSERT_EQ(
      RfcInstallStructure("SAPWLPFNRM", old.data(), static_cast<unsigned>(old.size()), &old_type),
      RFC_OK);

  struct Case {
    unsigned leng;
    RFC_TYPEHANDLE type;
    std::string message;  // "" = accepted
  };
  const Case kCases[] = {
      {672, good_type, ""},
      {672, TYPC, ""},
      {640, old_type,
       "SAPWL_STATREC_READ_FILE: table V2_NORMAL_RECORDS: line length 640 does not fit SAPWLPFNRM "
       "46C (672 bytes)"},
      {662, wrong_type,
       "SAPWL_STATREC_READ_FILE: table V2_NORMAL_RECORDS: line length 662 does not fit SAPWLPFNRM "
       "46C (672 bytes)"},
      {672, wrong_type,
       "SAPWL_STATREC_READ_FILE: table V2_NORMAL_RECORDS: structure SAPWLPFNRM field 15 (REPORT) "
       "differs from the "
       "layout's REPORT at offset 68 (SAPWLPFNRM 46C)"},
      {672, 0x999,
       "SAPWL_STATREC_READ_FILE: table V2_NORMAL_RECORDS: type handle 2457 is not installed"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.message);
    ITAB_H t = ItCreate("V2_NORMAL_RECORDS", c.leng, 0, 0);
    rfc_test::Tables tables;
    tables.Add("V2_NORMAL_RECORDS", t, c.type);
    RFC_RC rc = RfcCall(h, "SAPWL_STATREC_READ_FILE", out.list(), tables.list());
    if (c.message.empty()) {
      EXPECT_EQ(rc, RFC_OK);
      EXPECT_EQ(RfcReceive(h, nullptr, tables.list(), nullptr), RFC_OK);
    } else {
      EXPECT_EQ(rc, RFC_FAILURE);
      EXPECT_EQ(LastMessage(), c.message);
    }
    ItDelete(t);
  }
  RfcClose(h);
}

}  // namespace
