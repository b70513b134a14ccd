// The structure types of the statistic record layouts, installed once per
// process from the layout table (field names, types, lengths, decimals).

#include <string>
#include <vector>

#include "rfc/layouts.h"
#include "zmostati/rfc_session.h"

namespace zmo::stati {

namespace {

namespace rfc = zmo::rfc;

struct Installation {
  const char* structure;
  StatiLayout layout;
  const char* reportTag;  // the tag as the failure report names it
  bool failsAtOnce;       // a failure ends the installation here
};

// The order of installation. The batch layouts of the older releases come
// first; a failure among them ends the installation at once and fails the
// server. Every other failure is reported and the rest are still installed,
// so that the next server finds as many of them ready as can be.
constexpr Installation kInstallations[] = {
    {rfc::kBatchStructure, kStatiLayout3, "3", true},
    {rfc::kBatchStructure, kStatiLayout45B, "45B", true},
    {rfc::kBatchStructure, kStatiLayout46C, "46C", true},
    {rfc::kBatchStructure, kStatiLayout4, "4", true},
    {rfc::kBatchStructure, kStatiLayout610, "610", false},
    {rfc::kNormalStructure, kStatiLayout3, "3", false},
    {rfc::kNormalStructure, kStatiLayout45B, "45b", false},
    {rfc::kNormalStructure, kStatiLayout46C, "46c", false},
    {rfc::kNormalStructure, kStatiLayout4, "4", false},
    {rfc::kNormalStructure, kStatiLayout610, "610", false},
};

// A structure of one-byte characters; the library lays out the offsets.
RFC_RC InstallPlain(const char* structure, const char* tag, RFC_TYPEHANDLE* handle) {
  const rfc::StructLayout* layout = rfc::FindLayout(structure, tag, 1);
  if (layout == nullptr) return RFC_FAILURE;
  std::vector<RFC_TYPE_ELEMENT> elements;
  for (unsigned i = 0; i < layout->field_count; ++i) {
    const rfc::FieldLayout& f = layout->fields[i];
    elements.push_back(
        {f.name, static_cast<RFC_TYPEHANDLE>(rfc::RfcTypeOfKind(f.kind)), f.length, f.decimals, 0});
  }
  return RfcInstallStructure(structure, elements.data(), layout->field_count, handle);
}

// A Unicode structure with the offsets of its 1-, 2- and 4-byte forms.
RFC_RC InstallUnicode(const char* structure, const char* tag, RFC_TYPEHANDLE* handle) {
  const rfc::StructLayout* c1 = rfc::FindLayout(structure, tag, 1);
  const rfc::StructLayout* c2 = rfc::FindLayout(structure, tag, 2);
  const rfc::StructLayout* c4 = rfc::FindLayout(structure, tag, 4);
  if (c1 == nullptr || c2 == nullptr || c4 == nullptr || c2->field_count != c1->field_count ||
      c4->field_count != c1->field_count) {
    return RFC_FAILURE;
  }
  std::vector<RFC_UNICODE_TYPE_ELEMENT> elements;
  for (unsigned i = 0; i < c1->field_count; ++i) {
    const rfc::FieldLayout& f = c1->fields[i];
    elements.push_back({f.name, static_cast<RFC_TYPEHANDLE>(rfc::RfcTypeOfKind(f.kind)), f.decimals,
                        f.length, f.offset, c2->fields[i].length, c2->fields[i].offset,
                        c4->fields[i].length, c4->fields[i].offset});
  }
  return RfcInstallUnicodeStructure(structure, elements.data(), c1->field_count, 0, nullptr,
                                    handle);
}

// Installs one layout; its handle is set only when the installation worked.
int Install(const Installation& what, RFC_TYPEHANDLE* handle) {
  const char* tag = statiLayoutTag(what.layout);
  RFC_TYPEHANDLE installed = 0;
  const RFC_RC rc = what.layout == kStatiLayout610 ? InstallUnicode(what.structure, tag, &installed)
                                                   : InstallPlain(what.structure, tag, &installed);
  if (rc != RFC_OK || installed == 0) return 1;
  *handle = installed;
  return 0;
}

}  // namespace

int statiRfcInstallStructures() {
  StatiRfcSession& s = statiRfcSession();
  for (const Installation& what : kInstallations) {
    const bool batch = what.structure == rfc::kBatchStructure;
    RFC_TYPEHANDLE& handle = (batch ? s.batchTypes : s.normalTypes)[what.layout];
    if (handle != 0 || Install(what, &handle) == 0) continue;
    statiRfcErrorHandler(("RfcInstallStructure of Structure " + std::string(what.structure) +
                          " - " + what.reportTag + " failed")
                             .c_str());
    if (what.failsAtOnce) return 1;
  }
  // A layout of another release that did not install fails no server here:
  // it is tried again for the next one. The read call passes its tables only
  // with the type of their own layout, since one that is not installed would
  // be refused or read in no layout at all; so this server fails when that
  // type is missing.
  const StatiLayout layout = statiLayoutOfRelease(s.release);
  if (layout == kStatiLayoutCount) return 0;
  if (statiReadPassesTable(true) && s.batchTypes[layout] == 0) return 1;
  if (statiReadPassesTable(false) && s.normalTypes[layout] == 0) return 1;
  return 0;
}

}  // namespace zmo::stati
