// The CPU, disk and LAN records of one FILL_SNAPSHOT_DATA answer, with the
// metric switches deciding which fields carry their values.

#include "common/service_control.h"
#include "common/trace_log.h"
#include "zmosnap/records.h"

namespace {

bool On(int sw) {
  const zmo::MetricSwitches& s = snapRecordState().switches;
  return s.all || s.on[sw];
}

bool GroupOn(int group) {
  const zmo::MetricSwitches& s = snapRecordState().switches;
  return s.all || s.group[group];
}

// A number field behind its separator: the value when the switch is on.
int PutNumberIf(std::FILE* file, bool on, long long value) {
  int rc = snapPutSeparator(file);
  rc |= snapPutNumber(file, on ? value : 0);
  return rc;
}

// One line of a table, or nullptr when the library cannot give it.
const void* Line(ITAB_H table, int i) { return ItGetLine(table, static_cast<unsigned>(i)); }

int Lines(ITAB_H table) {
  const int n = table == ITAB_NULL ? 0 : ItFill(table);
  return n < 0 ? 0 : n;
}

// The result of a table's writing: 0, 1 (a write failed) or 28.
constexpr int kWriteFailed = 1;

// Writes one record per line of table with put, testing the disconnect
// flag before each. A line the library cannot give is skipped.
template <typename PutRecord>
int EachLine(ITAB_H table, PutRecord put) {
  const unsigned leng = ItLeng(table);
  for (int i = 1; i <= Lines(table); ++i) {
    if (zmo::DisconnectFlag()) return zmo::kShutdownInProgress;
    const void* line = Line(table, i);
    if (line == nullptr) continue;
    if (put(line, leng) != 0) return kWriteFailed;
  }
  return 0;
}

// One CPU record per line of TF_CPU_ALL. The memory fields come from the
// first TF_MEM_ALL line, and are zeros without it, so no column shifts.
int WriteCpu(std::FILE* file, ITAB_H cpu, ITAB_H mem) {
  const SnapRfcResults& rfc = snapRfcState().results;
  const void* mem_line = Lines(mem) > 0 ? Line(mem, 1) : nullptr;
  const unsigned mem_leng = mem_line != nullptr ? ItLeng(mem) : 0;
  const bool memory = snapRecordState().switches.all && mem_line != nullptr;
  auto m = [&](const char* field) { return memory ? snapLineInt(mem_line, mem_leng, "MEM_ALL", field) : 0; };

  return EachLine(cpu, [&](const void* line, unsigned leng) {
    auto c = [&](const char* field) { return snapLineInt(line, leng, "CPU_ALL", field); };
    if (writeRecordPrefix(file) != 0) return kWriteFailed;
    int rc = PutNumberIf(file, true, c("NBR_CPU"));
    rc |= PutNumberIf(file, true, c("LOAD1_AVG"));
    rc |= PutNumberIf(file, true, c("LOAD5_AVG"));
    rc |= PutNumberIf(file, true, c("LOAD15_AVG"));
    rc |= PutNumberIf(file, On(zmo::kSwSnapUserCPU) || On(zmo::kSwSnapTotalCPU), c("USR_TOTAL"));
    rc |= PutNumberIf(file, On(zmo::kSwSnapSystemCPU) || On(zmo::kSwSnapTotalCPU), c("SYS_TOTAL"));
    rc |= PutNumberIf(file, On(zmo::kSwSnapIdleCPU), c("IDLE_TOTAL"));
    rc |= PutNumberIf(file, memory, m("IN_PG_SEC"));
    rc |= PutNumberIf(file, memory, m("OUT_PG_SEC"));
    rc |= PutNumberIf(file, memory, m("FREE_MEM"));
    rc |= PutNumberIf(file, memory, m("PHYS_MEM"));
    rc |= PutNumberIf(file, On(zmo::kSwSnapUsers), rfc.users);
    rc |= PutNumberIf(file, On(zmo::kSwSnapSessions), rfc.sessions);
    rc |= snapPutLineEnd(file);
    return rc != 0 ? kWriteFailed : 0;
  });
}

// A disk or LAN record: the device name, then its figures, each under its
// switch.
struct Figure {
  const char* field;
  int sw;
};
struct DeviceKind {
  const char* structure;
  const char* name_field;
  Figure figures[5];
  int count;
};

constexpr DeviceKind kDisk = {"DSK_SINGLE",
                              "DISKNAME",
                              {{"UTIL", zmo::kSwSnapDiskUtilization},
                               {"AVG_QUEUEL", zmo::kSwSnapQueueLength},
                               {"AVG_WAIT", zmo::kSwSnapDiskWaitTime},
                               {"AVG_SERVIC", zmo::kSwSnapServiceTime}},
                              4};
constexpr DeviceKind kLan = {"LAN_SINGLE",
                             "LANNAME",
                             {{"IN_PACKETS", zmo::kSwSnapPacketsIn},
                              {"OUT_PACKET", zmo::kSwSnapPacketsOut},
                              {"IN_ERRORS", zmo::kSwSnapInErrors},
                              {"OUT_ERRORS", zmo::kSwSnapOutErrors},
                              {"COLLISIONS", zmo::kSwSnapCollisions}},
                             5};

int WriteDevices(std::FILE* file, ITAB_H table, const DeviceKind& kind) {
  return EachLine(table, [&](const void* line, unsigned leng) {
    if (writeRecordPrefix(file) != 0) return kWriteFailed;
    int rc = snapPutSeparator(file);
    rc |= snapPutText(file, kSnapNameWidth, 1, snapLineWord(line, leng, kind.structure, kind.name_field).c_str());
    for (int f = 0; f < kind.count; ++f) {
      const Figure& fig = kind.figures[f];
      rc |= PutNumberIf(file, On(fig.sw), snapLineInt(line, leng, kind.structure, fig.field));
    }
    rc |= snapPutLineEnd(file);
    return rc != 0 ? kWriteFailed : 0;
  });
}

// A kind whose collecting file is not open cannot be written.
int Checked(std::FILE* file, const char* kind) {
  if (file != nullptr) return 0;
  zmo::writeTrace("callFillSnapshotData() no open file for the %s records\n", kind);
  return kWriteFailed;
}

}  // namespace

int writeSnapshotRecords(const SnapRfcTables& tables) {
  SnapRecordState& st = snapRecordState();
  st.cut = 0;
  st.clamped = 0;
  int rc = 0;
  if (GroupOn(zmo::kGroupSnapCpu)) {
    rc = Checked(st.cpuFile, "CPU");
    if (rc == 0) rc = WriteCpu(st.cpuFile, tables.cpuAll, tables.memAll);
  }
  if (rc == 0 && !snapRfcState().results.usersRead) {
    zmo::writeTrace("inserting <0> for user data in file <%s> due to unsuccessfull xmi call\n",
                    st.cpuFileName.c_str());
  }
  if (rc == 0 && GroupOn(zmo::kGroupSnapDisk)) {
    rc = Checked(st.diskFile, "disk");
    if (rc == 0) rc = WriteDevices(st.diskFile, tables.diskSingle, kDisk);
  }
  if (rc == 0 && GroupOn(zmo::kGroupSnapLan)) {
    rc = Checked(st.lanFile, "LAN");
    if (rc == 0) rc = WriteDevices(st.lanFile, tables.lanSingle, kLan);
  }
  if (st.cut) zmo::writeTrace("callFillSnapshotData() a text longer than its column was cut to it\n");
  if (st.clamped) {
    zmo::writeTrace("callFillSnapshotData() a figure wider than its 8 columns was written as the nearest that fits\n");
  }
  if (rc == kWriteFailed) zmo::writeTrace("callFillSnapshotData() writing the snapshot records failed\n");
  return rc;
}
