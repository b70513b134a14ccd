// The structure types of the statistic record layouts, installed once per
// process from the layout table (field names, types, lengths, decimals).

#include <cctype>
#include <string>
#include <vector>

#include "common/sap_layouts.h"
#include "zmostati/rfc_session.h"

namespace zmo::stati {

namespace {

namespace sap = zmo::sap;
using sap::StatLayout;

struct Installation {
  const char* structure;
  StatLayout layout;
  bool failsAtOnce;  // a failure ends the installation here
};

// The order of installation. The batch layouts of the older releases come
// first; a failure among them ends the installation at once and fails the
// server. Every other failure is reported and the rest are still installed,
// so that the next server finds as many of them ready as can be.
constexpr Installation kInstallations[] = {
    {sap::kBatchStructure, StatLayout::k3, true},
    {sap::kBatchStructure, StatLayout::k45B, true},
    {sap::kBatchStructure, StatLayout::k46C, true},
    {sap::kBatchStructure, StatLayout::k4, true},
    {sap::kBatchStructure, StatLayout::k610, false},
    {sap::kNormalStructure, StatLayout::k3, false},
    {sap::kNormalStructure, StatLayout::k45B, false},
    {sap::kNormalStructure, StatLayout::k46C, false},
    {sap::kNormalStructure, StatLayout::k4, false},
    {sap::kNormalStructure, StatLayout::k610, false},
};

// The layout as a failure report names it: its tag, in lower case for the
// normal structure ("45b", "46c").
std::string ReportTag(const Installation& what) {
  std::string tag = sap::StatLayoutTag(what.layout);
  if (what.structure == sap::kNormalStructure) {
    for (char& c : tag) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return tag;
}

// A structure of one-byte characters; the library lays out the offsets.
RFC_RC InstallPlain(const char* structure, StatLayout layout, RFC_TYPEHANDLE* handle) {
  const sap::StructLayout* lines = sap::FindLayout(structure, layout, 1);
  if (lines == nullptr) return RFC_FAILURE;
  std::vector<RFC_TYPE_ELEMENT> elements;
  for (unsigned i = 0; i < lines->field_count; ++i) {
    const sap::FieldLayout& f = lines->fields[i];
    elements.push_back(
        {f.name, static_cast<RFC_TYPEHANDLE>(sap::RfcTypeOfKind(f.kind)), f.length, f.decimals, 0});
  }
  return RfcInstallStructure(structure, elements.data(), lines->field_count, handle);
}

// A Unicode structure with the offsets of its 1-, 2- and 4-byte forms.
RFC_RC InstallUnicode(const char* structure, StatLayout layout, RFC_TYPEHANDLE* handle) {
  const sap::StructLayout* c1 = sap::FindLayout(structure, layout, 1);
  const sap::StructLayout* c2 = sap::FindLayout(structure, layout, 2);
  const sap::StructLayout* c4 = sap::FindLayout(structure, layout, 4);
  if (c1 == nullptr || c2 == nullptr || c4 == nullptr || c2->field_count != c1->field_count ||
      c4->field_count != c1->field_count) {
    return RFC_FAILURE;
  }
  std::vector<RFC_UNICODE_TYPE_ELEMENT> elements;
  for (unsigned i = 0; i < c1->field_count; ++i) {
    const sap::FieldLayout& f = c1->fields[i];
    elements.push_back({f.name, static_cast<RFC_TYPEHANDLE>(sap::RfcTypeOfKind(f.kind)), f.decimals,
                        f.length, f.offset, c2->fields[i].length, c2->fields[i].offset,
                        c4->fields[i].length, c4->fields[i].offset});
  }
  return RfcInstallUnicodeStructure(structure, elements.data(), c1->field_count, 0, nullptr,
                                    handle);
}

// Installs one layout; its handle is set only when the installation worked.
int Install(const Installation& what, RFC_TYPEHANDLE* handle) {
  RFC_TYPEHANDLE installed = 0;
  const RFC_RC rc = what.layout == StatLayout::k610
                        ? InstallUnicode(what.structure, what.layout, &installed)
                        : InstallPlain(what.structure, what.layout, &installed);
  if (rc != RFC_OK || installed == 0) return 1;
  *handle = installed;
  return 0;
}

}  // namespace

int statiRfcInstallStructures() {
  for (const Installation& what : kInstallations) {
    const bool batch = what.structure == sap::kBatchStructure;
    RFC_TYPEHANDLE& handle = statiTypeHandle(batch, what.layout);
    if (handle != 0 || Install(what, &handle) == 0) continue;
    statiRfcErrorHandler(("RfcInstallStructure of Structure " + std::string(what.structure) +
                          " - " + ReportTag(what) + " failed")
                             .c_str());
    if (what.failsAtOnce) return 1;
  }
  // A layout of another release that did not install fails no server here:
  // it is tried again for the next one. The read call passes its tables only
  // with the type of their own layout, since one that is not installed would
  // be refused or read in no layout at all; so this server fails when that
  // type is missing.
  const StatiRfcSession& s = statiRfcSession();
  if (!s.layout) return 0;
  if (statiReadPassesTable(true) && statiTypeHandle(true, *s.layout) == 0) return 1;
  if (statiReadPassesTable(false) && statiTypeHandle(false, *s.layout) == 0) return 1;
  return 0;
}

}  // namespace zmo::stati
