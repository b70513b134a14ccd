// sqlldr into a PostgreSQL warehouse: the fixed-width records of the
// control file's infile go into its table, field by field.
//
// Char fields keep their blanks (PRESERVE BLANKS) and are converted by the
// server to the column's type, so "     123" fills an integer column and a
// field of blanks does not. Date fields ("YYYYMMDDHH24MISS") are given to
// the server as "YYYY-MM-DD HH:MM:SS". A record that does not fit the fields
// or whose values the table refuses goes to the bad file, as it was read.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "control_file.h"
#include "warehouse.h"

namespace zmo::dbtools {

namespace {

std::string IsoTimestamp(const std::string& v) {
  return v.substr(0, 4) + "-" + v.substr(4, 2) + "-" + v.substr(6, 2) + " " + v.substr(8, 2) + ":" +
         v.substr(10, 2) + ":" + v.substr(12, 2);
}

// The values of a record, or why it cannot be loaded.
std::string RecordValues(const ControlFile& control, const std::string& record,
                         std::vector<std::string>* values) {
  std::string why = RecordMismatch(control, record);
  if (!why.empty()) return why;
  if (record.find('\0') != std::string::npos) return "the record holds a NUL byte";
  values->clear();
  for (const ControlField& f : control.fields) {
    std::string v = record.substr(f.start - 1, f.end - f.start + 1);
    values->push_back(f.date ? IsoTimestamp(v) : v);
  }
  return "";
}

// "insert into <table> (<fields>) values ($1, ...)", or "" when a name
// cannot go into SQL as it is.
std::string InsertStatement(const ControlFile& control, std::string* why) {
  if (!PlainSqlName(control.table)) {
    *why = "the table name " + control.table + " is not a plain SQL name";
    return "";
  }
  std::string names, params;
  for (size_t i = 0; i < control.fields.size(); ++i) {
    const std::string& name = control.fields[i].name;
    if (!PlainSqlName(name)) {
      *why = "the field name " + name + " is not a plain SQL name";
      return "";
    }
    names += (i ? ", " : "") + name;
    params += (i ? ", $" : "$") + std::to_string(i + 1);
  }
  return "insert into " + control.table + " (" + names + ") values (" + params + ")";
}

// Nothing of the load stays: the transaction is rolled back.
int Abandon(ToolRun* run, PgSession* session, const std::string& why) {
  std::string ignored;
  PgEndTransaction(session, false, &ignored);
  PgDisconnect(session);
  return Refuse(run, why + "; nothing loaded");
}

}  // namespace

int LoadIntoWarehouse(ToolRun* run, const Logon& logon, const WarehouseSource& source,
                      const ControlFile& control, const std::vector<std::string>& records) {
  std::string why;
  std::string insert = InsertStatement(control, &why);
  if (insert.empty()) return Refuse(run, why);
  PgSession session;
  if (PgConnectTool(run, logon, source, &session) != 0) return kToolRefused;
  session.on_notice = [run](const std::string& text) { Say(run, run->tool + ": " + text); };
  PgOutcome outcome;
  if (PgRunStatement(&session, "truncate table " + control.table, &outcome) != 0) {
    return Abandon(run, &session, "cannot empty " + control.table + ": " + outcome.error);
  }
  if (PgPrepareLoad(&session, insert, static_cast<int>(control.fields.size()), &why) != 0) {
    return Abandon(run, &session, "cannot load " + control.table + ": " + why);
  }
  std::string bad;
  size_t loaded = 0, rejected = 0;
  std::vector<std::string> values;
  for (size_t i = 0; i < records.size(); ++i) {
    why = RecordValues(control, records[i], &values);
    if (why.empty() && PgRunLoad(&session, values, &outcome) != 0) {
      if (outcome.lost) return Abandon(run, &session, outcome.error);
      why = outcome.error;
    }
    if (why.empty()) {
      ++loaded;
      continue;
    }
    ++rejected;
    bad += records[i] + "\r\n";
    Reject(run, "record " + std::to_string(i + 1) + " of " + control.infile + " rejected: " + why);
  }
  if (PgEndTransaction(&session, true, &why) != 0) {
    return Abandon(run, &session, "cannot commit the load of " + control.table + ": " + why);
  }
  PgDisconnect(&session);
  // The bad file holds this load's rejected records only: one left by an
  // earlier load would tell of records that are in the table now.
  if (rejected) {
    WriteRejectedRows(run, control.badfile, bad);
  } else if (unlink(control.badfile.c_str()) != 0 && errno != ENOENT) {
    Reject(run, "cannot remove the old bad file " + control.badfile + ": " + std::strerror(errno));
  }
  Say(run, run->tool + ": " + std::to_string(loaded) + " rows loaded into " + control.table + ", " +
               std::to_string(rejected) + " rejected");
  return kToolOk;
}

}  // namespace zmo::dbtools
