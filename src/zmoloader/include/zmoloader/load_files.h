// The files a run writes besides its batch files: the Oracle control files,
// the bulk-copy switch scripts, the Corva and Tessel load scripts and the
// scripts that create the staging tables. Each returns 0, or
// kLoaderExitError after its trace lines when the file cannot be written.
#pragma once

#include <string>
#include <vector>

#include "common/db_kind.h"

namespace zmo::loader {

// BulkOn.sql and BulkOff.sql (MSSQL, Sybase).
int writeBulkOnSql(zmo::DbKind kind);
int writeBulkOffSql(zmo::DbKind kind);
// zmoklvload.par (Oracle STATI), when the statistics table is on.
int writeStatiLoadControl();
// zmosnap_cpu.par, zmosnap_dsk.par, zmosnap_lan.par, zmosnap_avai.par
// (Oracle SNAP), each when its group is on.
int writeSnapLoadControls();
// zmoload_<x>.sql for the Corva and the Tessel kind: the staging tables
// that are on dropped and made again, and loaded from the files that are
// there.
int writeCorvaLoadScript();
int writeTesselLoadScript();
// zmostage_<x>.sql (Oracle, MSSQL, Sybase): drops and creates the staging
// tables that are on, so that every run finds them; the Oracle one ends with
// failure when a table cannot be made.
int writeStagingScript();
// zmodrop_<x>.sql (Oracle, MSSQL, Sybase): drops the staging tables again,
// for a batch that leaves after a failed load.
int writeDropScript();
// True when the run makes a staging table.
bool stagingTablesMade();

// Writes lines, each with CR LF, into a new file of mode 0600 (the files may
// hold the clear password). Returns 0, or kLoaderExitError after the error
// lines when the file cannot be written.
int writeLoaderFile(const std::string& path, const std::vector<std::string>& lines);

}  // namespace zmo::loader
