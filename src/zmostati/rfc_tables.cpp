// The two internal tables SAPWL_STATREC_READ_FILE fills, in the line sizes
// of the server's release.

#include <string>

#include "zmostati/rfc_session.h"

namespace zmo::stati {

namespace {

constexpr const char* kBatchTableName = "V2_BTC_STEP_RECORDS";
constexpr const char* kNormalTableName = "V2_NORMAL_RECORDS";

void DeleteTable(ITAB_H* table, const char* failure) {
  if (*table == ITAB_NULL) return;
  if (ItDelete(*table) != 0) statiRfcErrorHandler(failure);
  *table = ITAB_NULL;
}

void DeleteBatchTable() {
  DeleteTable(&statiRfcSession().batchTable,
              "ItDelete() returned unsuccessfully for V2BtcStepRecords");
}

void DeleteNormalTable() {
  DeleteTable(&statiRfcSession().normalTable,
              "ItDelete() returned unsuccessfully for V2NormalRecords");
}

// Creates a table whose lines are the structure's in layout.
ITAB_H CreateTable(const char* name, const char* structure, zmo::sap::StatLayout layout) {
  const zmo::sap::StructLayout* lines = zmo::sap::FindLayout(structure, layout);
  if (lines == nullptr) return ITAB_NULL;
  return ItCreate(name, lines->line_size, 0, 0);
}

}  // namespace

int statiCreateRfcTables() {
  StatiRfcSession& s = statiRfcSession();
  if (!s.layout) {
    // No table of another release may stay behind to be passed or read.
    statiDeleteRfcTables();
    statiRfcErrorHandler("unrecognized SAP level encountered");
    return 0;
  }
  const std::string tag = zmo::sap::StatLayoutTag(*s.layout);

  DeleteBatchTable();
  s.batchTable = CreateTable(kBatchTableName, zmo::sap::kBatchStructure, *s.layout);
  if (s.batchTable == ITAB_NULL) {
    statiRfcErrorHandler(("unable to create table V2BtcStepRecords - " + tag).c_str());
    return 1;
  }
  DeleteNormalTable();
  s.normalTable = CreateTable(kNormalTableName, zmo::sap::kNormalStructure, *s.layout);
  if (s.normalTable == ITAB_NULL) {
    statiRfcErrorHandler(("unable to create table V2NormalRecords - " + tag).c_str());
    return 1;
  }
  return 0;
}

void statiDeleteRfcTables() {
  DeleteBatchTable();
  DeleteNormalTable();
}

}  // namespace zmo::stati
