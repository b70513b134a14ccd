// sqlldr into a PostgreSQL warehouse: the fixed-width records of the
// control file's infile go into its table, field by field.
//
// Char fields keep their blanks (PRESERVE BLANKS) and are converted by the
// server to the column's type, so "     123" fills an integer column and a
// field of blanks does not. Date fields ("YYYYMMDDHH24MISS") are given to
// the server as "YYYY-MM-DD HH:MM:SS". A record that does not fit the fields
// or whose values the table refuses goes to the bad file, as it was read.
//
// The records go to the server in chunks through COPY, which takes them in
// one stream without waiting per row. COPY is all or nothing, so a chunk
// that fails is rolled back and loaded again row by row, each row under its
// own savepoint: every record the table refuses is rejected with the
// server's reason, and the chunk's other records load.
#include <unistd.h>

#include <algorithm>
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

// Why a record cannot go to the server at all; "" when it fits the fields.
std::string RecordFault(const ControlFile& control, const std::string& record) {
  std::string why = RecordMismatch(control, record);
  if (why.empty() && record.find('\0') != std::string::npos) why = "the record holds a NUL byte";
  return why;
}

// The values of a record, or why it cannot be loaded.
std::string RecordValues(const ControlFile& control, const std::string& record,
                         std::vector<std::string>* values) {
  std::string why = RecordFault(control, record);
  if (!why.empty()) return why;
  values->clear();
  for (const ControlField& f : control.fields) {
    std::string v = record.substr(f.start - 1, f.end - f.start + 1);
    values->push_back(f.date ? IsoTimestamp(v) : v);
  }
  return "";
}

// A chunk of records is one COPY; a chunk that fails is done again row by
// row, so chunks stay small. Its rows go to the server in pieces.
constexpr size_t kChunkRecords = 2000;
constexpr size_t kPieceBytes = 256 << 10;

// The bytes COPY's text form escapes: a backslash and the characters that
// end a value or a row.
constexpr bool NeedsEscape(char c) { return c == '\\' || c == '\t' || c == '\n' || c == '\r'; }

// Appends a value in COPY's text form.
void AppendCopyValue(std::string* rows, const char* v, size_t n) {
  size_t plain = 0;
  while (plain < n && !NeedsEscape(v[plain])) ++plain;
  rows->append(v, plain);  // as a rule the whole value
  for (size_t i = plain; i < n; ++i) {
    const char c = v[i];
    switch (c) {
      case '\\':
        rows->append("\\\\");
        break;
      case '\t':
        rows->append("\\t");
        break;
      case '\n':
        rows->append("\\n");
        break;
      case '\r':
        rows->append("\\r");
        break;
      default:
        rows->push_back(c);
    }
  }
}

// Appends a record that fits the fields as one COPY row.
void AppendCopyRow(const ControlFile& control, const std::string& record, std::string* rows) {
  for (size_t i = 0; i < control.fields.size(); ++i) {
    const ControlField& f = control.fields[i];
    if (i) rows->push_back('\t');
    if (f.date) {
      const std::string iso = IsoTimestamp(record.substr(f.start - 1, f.end - f.start + 1));
      rows->append(iso);
    } else {
      AppendCopyValue(rows, record.data() + f.start - 1, f.end - f.start + 1);
    }
  }
  rows->push_back('\n');
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

// "copy <table> (<fields>) from stdin", of the names InsertStatement checked.
std::string CopyStatement(const ControlFile& control) {
  std::string names;
  for (size_t i = 0; i < control.fields.size(); ++i) {
    names += (i ? ", " : "") + control.fields[i].name;
  }
  return "copy " + control.table + " (" + names + ") from stdin";
}

// What a load has done so far.
struct LoadTally {
  size_t loaded = 0, rejected = 0;
  std::string bad;  // the rejected records, each ended by CR LF
};

void RejectRecord(ToolRun* run, const ControlFile& control, const std::vector<std::string>& records,
                  size_t i, const std::string& why, LoadTally* tally) {
  ++tally->rejected;
  tally->bad += records[i] + "\r\n";
  Reject(run, "record " + std::to_string(i + 1) + " of " + control.infile + " rejected: " + why);
}

// A chunk that COPY refused, rolled back: its records one by one, each
// under its own savepoint, so that only the refused ones stay out.
// fault[i] is why records[first + i] does not fit, or "". Returns 0, or -1
// with *lost when the session cannot go on.
int LoadRowByRow(ToolRun* run, PgSession* session, const ControlFile& control,
                 const std::vector<std::string>& records, size_t first,
                 const std::vector<std::string>& fault, LoadTally* tally, std::string* lost) {
  std::vector<std::string> values;
  PgOutcome outcome;
  for (size_t i = first; i < first + fault.size(); ++i) {
    std::string why = fault[i - first];
    if (why.empty()) why = RecordValues(control, records[i], &values);
    if (why.empty() && PgRunLoad(session, values, &outcome) != 0) {
      if (outcome.lost) {
        *lost = outcome.error;
        return -1;
      }
      why = outcome.error;
    }
    if (why.empty()) {
      ++tally->loaded;
    } else {
      RejectRecord(run, control, records, i, why, tally);
    }
  }
  return 0;
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
  const std::string copy = CopyStatement(control);
  LoadTally tally;
  std::vector<std::string> mismatch;  // per record of the chunk: why it does not fit, or ""
  for (size_t first = 0; first < records.size();) {
    // The chunk: the records that fit go out as COPY rows while the next
    // are made.
    mismatch.clear();
    size_t end = first;
    const size_t last = std::min(records.size(), first + kChunkRecords);
    auto produce = [&](std::string* piece) {
      for (; end < last && piece->size() < kPieceBytes; ++end) {
        mismatch.push_back(RecordFault(control, records[end]));
        if (mismatch.back().empty()) AppendCopyRow(control, records[end], piece);
      }
      return end < last;
    };
    bool copied = PgCopyRows(&session, copy, produce, &outcome) == 0;
    if (!copied && outcome.lost) return Abandon(run, &session, outcome.error);
    // A COPY refused before it asked for all its rows: the rest are checked.
    for (; end < last; ++end) mismatch.push_back(RecordFault(control, records[end]));
    size_t fitting = 0;
    for (const std::string& m : mismatch) fitting += m.empty();
    if (copied) {
      tally.loaded += fitting;
      for (size_t i = first; i < end; ++i) {
        const std::string& fault = mismatch[i - first];
        if (!fault.empty()) RejectRecord(run, control, records, i, fault, &tally);
      }
    } else if (LoadRowByRow(run, &session, control, records, first, mismatch, &tally, &why) != 0) {
      return Abandon(run, &session, why);
    }
    first = end;
  }
  if (PgEndTransaction(&session, true, &why) != 0) {
    return Abandon(run, &session, "cannot commit the load of " + control.table + ": " + why);
  }
  PgDisconnect(&session);
  // The bad file holds this load's rejected records only: one left by an
  // earlier load would tell of records that are in the table now.
  if (tally.rejected) {
    WriteRejectedRows(run, control.badfile, tally.bad);
  } else if (unlink(control.badfile.c_str()) != 0 && errno != ENOENT) {
    Reject(run, "cannot remove the old bad file " + control.badfile + ": " + std::strerror(errno));
  }
  Say(run, run->tool + ": " + std::to_string(tally.loaded) + " rows loaded into " + control.table +
               ", " + std::to_string(tally.rejected) + " rejected");
  return kToolOk;
}

}  // namespace zmo::dbtools
