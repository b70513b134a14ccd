// The CPU, disk and LAN records of one FILL_SNAPSHOT_DATA answer, with the
// metric switches deciding which fields carry their values.

#include "common/record_layouts.h"
#include "common/service_control.h"
#include "common/trace_log.h"
#include "zmosnap/records.h"

namespace zmo::snap {

namespace {

bool On(int sw) {
  const zmo::MetricSwitches& s = snapRecordState().switches;
  return s.all || s.on[sw];
}

bool GroupOn(int group) {
  const zmo::MetricSwitches& s = snapRecordState().switches;
  return s.all || s.group[group];
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
  auto m = [&](const char* field) {
    return memory ? snapLineInt(mem_line, mem_leng, "MEM_ALL", field) : 0;
  };
  const zmo::RecordLayout f = zmo::snapCpuLayout();

  return EachLine(cpu, [&](const void* line, unsigned leng) {
    auto c = [&](const char* field) { return snapLineInt(line, leng, "CPU_ALL", field); };
    zmo::RecordLine out;
    if (writeRecordPrefix(&out) != 0) return kWriteFailed;
    // The figures in layout order, each the value when its switch is on.
    int next = zmo::kSnapPrefixCount;
    auto figure = [&](bool on, long long value) {
      zmo::recordPutNumber(&out, f[next++], on ? value : 0);
    };
    figure(true, c("NBR_CPU"));
    figure(true, c("LOAD1_AVG"));
    figure(true, c("LOAD5_AVG"));
    figure(true, c("LOAD15_AVG"));
    figure(On(zmo::kSwSnapUserCPU) || On(zmo::kSwSnapTotalCPU), c("USR_TOTAL"));
    figure(On(zmo::kSwSnapSystemCPU) || On(zmo::kSwSnapTotalCPU), c("SYS_TOTAL"));
    figure(On(zmo::kSwSnapIdleCPU), c("IDLE_TOTAL"));
    figure(memory, m("IN_PG_SEC"));
    figure(memory, m("OUT_PG_SEC"));
    figure(memory, m("FREE_MEM"));
    figure(memory, m("PHYS_MEM"));
    figure(On(zmo::kSwSnapUsers), rfc.users);
    figure(On(zmo::kSwSnapSessions), rfc.sessions);
    return snapWriteLine(file, &out) != 0 ? kWriteFailed : 0;
  });
}

// A disk or LAN record: the device name, then its figures, each under its
// switch, in the order of the kind's layout.
struct Figure {
  const char* field;
  int sw;
};
struct DeviceKind {
  zmo::RecordLayout (*layout)();
  const char* structure;
  const char* name_field;
  Figure figures[zmo::kSnapLanFigures];
  int count;
};

constexpr DeviceKind kDisk = {zmo::snapDiskLayout,
                              "DSK_SINGLE",
                              "DISKNAME",
                              {{"UTIL", zmo::kSwSnapDiskUtilization},
                               {"AVG_QUEUEL", zmo::kSwSnapQueueLength},
                               {"AVG_WAIT", zmo::kSwSnapDiskWaitTime},
                               {"AVG_SERVIC", zmo::kSwSnapServiceTime}},
                              zmo::kSnapDiskFigures};
constexpr DeviceKind kLan = {zmo::snapLanLayout,
                             "LAN_SINGLE",
                             "LANNAME",
                             {{"IN_PACKETS", zmo::kSwSnapPacketsIn},
                              {"OUT_PACKET", zmo::kSwSnapPacketsOut},
                              {"IN_ERRORS", zmo::kSwSnapInErrors},
                              {"OUT_ERRORS", zmo::kSwSnapOutErrors},
                              {"COLLISIONS", zmo::kSwSnapCollisions}},
                             zmo::kSnapLanFigures};

int WriteDevices(std::FILE* file, ITAB_H table, const DeviceKind& kind) {
  const zmo::RecordLayout f = kind.layout();
  return EachLine(table, [&](const void* line, unsigned leng) {
    zmo::RecordLine out;
    if (writeRecordPrefix(&out) != 0) return kWriteFailed;
    const std::string name = snapLineWord(line, leng, kind.structure, kind.name_field);
    zmo::recordPutString(&out, f[zmo::kSnapPrefixCount], name.c_str());
    for (int i = 0; i < kind.count; ++i) {
      const Figure& fig = kind.figures[i];
      const long long value = On(fig.sw) ? snapLineInt(line, leng, kind.structure, fig.field) : 0;
      zmo::recordPutNumber(&out, f[zmo::kSnapPrefixCount + 1 + i], value);
    }
    return snapWriteLine(file, &out) != 0 ? kWriteFailed : 0;
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
  if (st.cut)
    zmo::writeTrace("callFillSnapshotData() a text longer than its column was cut to it\n");
  if (st.clamped) {
    zmo::writeTrace(
        "callFillSnapshotData() a figure wider than its 8 columns was written as the nearest that "
        "fits\n");
  }
  if (rc == kWriteFailed)
    zmo::writeTrace("callFillSnapshotData() writing the snapshot records failed\n");
  return rc;
}

}  // namespace zmo::snap
