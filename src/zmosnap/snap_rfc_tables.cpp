// The internal tables and structure types of zmosnap's calls: created and
// installed once per process, the tables emptied after every server.

#include <string>
#include <vector>

#include "common/sap_layouts.h"
#include "common/trace_log.h"
#include "zmosnap/rfc_calls.h"

namespace zmo::snap {

namespace {

struct TableSpec {
  const char* name;
  unsigned leng;
  ITAB_H SnapRfcTables::*table;
  const char* free_trace;
};

// In the order they are created and emptied.
constexpr TableSpec kTables[] = {
    {"TF_CPU_ALL", kTfCpuAllLeng, &SnapRfcTables::cpuAll,
     "ItFree(thTfCpuAll) returned unsuccessfully\n"},
    {"TF_DISK_SINGLE", kTfDiskSingleLeng, &SnapRfcTables::diskSingle,
     "ItFree(thTfDiskSingle) returned unsuccessfully\n"},
    {"TF_LAN_SINGLE", kTfLanSingleLeng, &SnapRfcTables::lanSingle,
     "ItFree(thTfLanSingle) returned unsuccessfully\n"},
    {"TF_MEM_ALL", kTfMemAllLeng, &SnapRfcTables::memAll,
     "ItFree(thTfMemAll) returned unsuccessfully\n"},
    {"USR_TBL", kUsrTblLeng, &SnapRfcTables::usrTbl, "ItFree(thUsrTbl) returned unsuccessfully\n"},
    {"FUNCTIONS", kFunctionsLeng, &SnapRfcTables::functions,
     "ItFree(thFunctions) returned unsuccessfully\n"},
};

struct StructureSpec {
  const char* name;
  RFC_TYPEHANDLE SnapRfcTypes::*type;
};

// In the order they are installed.
constexpr StructureSpec kStructures[] = {
    {"CPU_ALL", &SnapRfcTypes::cpuAll},       {"DSK_SINGLE", &SnapRfcTypes::dskSingle},
    {"TOP_SINGLE", &SnapRfcTypes::topSingle}, {"MEM_ALL", &SnapRfcTypes::memAll},
    {"LAN_SINGLE", &SnapRfcTypes::lanSingle}, {"BTCSYSLOG", &SnapRfcTypes::btcSyslog},
    {"RFCSI", &SnapRfcTypes::rfcsi},          {"RFCFUNC", &SnapRfcTypes::rfcfunc},
};

// Installs a structure from the layout table's field names, types and
// lengths; the library lays out the offsets itself.
int Install(const char* name, RFC_TYPEHANDLE* type) {
  const zmo::sap::StructLayout* layout = zmo::sap::FindLayout(name, "");
  if (layout == nullptr) return 1;
  std::vector<RFC_TYPE_ELEMENT> elements;
  for (unsigned i = 0; i < layout->field_count; ++i) {
    const zmo::sap::FieldLayout& f = layout->fields[i];
    elements.push_back({f.name, static_cast<RFC_TYPEHANDLE>(zmo::sap::RfcTypeOfKind(f.kind)),
                        f.length, f.decimals, 0});
  }
  RFC_TYPEHANDLE installed = 0;
  if (RfcInstallStructure(name, elements.data(), layout->field_count, &installed) != RFC_OK ||
      installed == 0) {
    return 1;
  }
  *type = installed;
  return 0;
}

}  // namespace

int initRfcTables() {
  SnapRfcState& s = snapRfcState();
  for (const TableSpec& spec : kTables) {
    ITAB_H& table = s.tables.*spec.table;
    if (table != ITAB_NULL) continue;
    table = ItCreate(spec.name, spec.leng, 0, 0);
    if (table == ITAB_NULL) {
      rfcErrorCallback(("ItCreate " + std::string(spec.name)).c_str());
      return 1;
    }
  }
  for (const StructureSpec& spec : kStructures) {
    RFC_TYPEHANDLE& type = s.types.*spec.type;
    if (type != 0) continue;
    if (Install(spec.name, &type) != 0) {
      rfcErrorCallback("RfcInstallStructure");
      return 1;
    }
  }
  return 0;
}

int freeRfcTables() {
  SnapRfcState& s = snapRfcState();
  for (const TableSpec& spec : kTables) {
    ITAB_H table = s.tables.*spec.table;
    if (table == ITAB_NULL) continue;
    if (ItFree(table) != 0) {
      zmo::writeTrace("%s", spec.free_trace);
      return 1;
    }
  }
  return 0;
}

}  // namespace zmo::snap
