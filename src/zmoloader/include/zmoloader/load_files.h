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
// zmoklvload.par (Oracle STATI), when a statistics group is on.
int writeStatiLoadControl();
// zmosnap_cpu.par, zmosnap_dsk.par, zmosnap_lan.par, zmosnap_avai.par
// (Oracle SNAP), each when its group is on.
int writeSnapLoadControls();
// zmoload_<x>.sql for the Corva and the Tessel kind.
int writeCorvaLoadScript();
int writeTesselLoadScript();
// zmostage_<x>.sql (Oracle, MSSQL, Sybase): drops and creates the staging
// tables of the groups that are on, so that every run finds them.
int writeStagingScript();

// Writes lines, each with CR LF, into a new file of mode 0600 (the files may
// hold the clear password). Returns 0, or kLoaderExitError after the error
// lines when the file cannot be written.
int writeLoaderFile(const std::string& path, const std::vector<std::string>& lines);

}  // namespace zmo::loader
