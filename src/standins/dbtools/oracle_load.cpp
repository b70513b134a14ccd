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
// that fails is rolled back and its halves are loaded the same way, down to
// a few records, which go row by row, each under its own savepoint: every
// record the table refuses is rejected with the server's reason, and the
// chunk's other records load.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "control_file.h"
#include "warehouse.h"

namespace zmo::dbtools {

namespace {

// Appends "YYYY-MM-DD HH:MM:SS" of the "YYYYMMDDHH24MISS" value at v.
void AppendIsoTimestamp(std::string* out, const char* v) {
  out->append(v, 4).append(1, '-').append(v + 4, 2).append(1, '-').append(v + 6, 2);
  out->append(1, ' ').append(v + 8, 2).append(1, ':').append(v + 10, 2).append(1, ':');
  out->append(v + 12, 2);
}

}  // namespace

std::string RecordFault(const ControlFile& control, std::string_view record) {
  std::string why = RecordMismatch(control, record);
  if (why.empty() && record.find('\0') != std::string_view::npos) {
    why = "the record holds a NUL byte";
  }
  return why;
}

namespace {

// The values of a record, or why it cannot be loaded.
std::string RecordValues(const ControlFile& control, std::string_view record,
                         std::vector<std::string>* values) {
  std::string why = RecordFault(control, record);
  if (!why.empty()) return why;
  values->clear();
  for (const ControlField& f : control.fields) {
    const char* v = record.data() + f.start - 1;
    values->emplace_back();
    if (f.date) {
      AppendIsoTimestamp(&values->back(), v);
    } else {
      values->back().assign(v, f.end - f.start + 1);
    }
  }
  return "";
}

// A chunk of records is one COPY. Its rows go to the server in pieces small
// enough that the server is seldom left waiting while the first is made, or
// the loader while the server ends the last. A refused range of at most
// kRowByRowRecords goes row by row.
constexpr size_t kPieceBytes = 64 << 10;
constexpr size_t kRowByRowRecords = 32;

// The bytes COPY's text form escapes: a backslash and the characters that
// end a value or a row.
constexpr char kCopyEscaped[] = {'\\', '\t', '\n', '\r'};

bool HoldsEscapedBytes(std::string_view text) {
  for (char c : kCopyEscaped) {
    if (text.find(c) != std::string_view::npos) return true;
  }
  return false;
}

// Appends a value in COPY's text form, escaping byte by byte.
void AppendEscapedValue(std::string* rows, std::string_view v) {
  for (const char c : v) {
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

}  // namespace

// As a rule no byte of a record needs escaping, and its values are copied
// as they are.
void AppendCopyRow(const ControlFile& control, std::string_view record, std::string* rows) {
  const bool escape = HoldsEscapedBytes(record);
  for (size_t i = 0; i < control.fields.size(); ++i) {
    const ControlField& f = control.fields[i];
    if (i) rows->push_back('\t');
    const std::string_view v = record.substr(f.start - 1, f.end - f.start + 1);
    if (f.date) {
      AppendIsoTimestamp(rows, v.data());
    } else if (escape) {
      AppendEscapedValue(rows, v);
    } else {
      rows->append(v);
    }
  }
  rows->push_back('\n');
}

namespace {

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

// One chunk of the load's records.
struct Chunk {
  ToolRun* run;
  PgSession* session;
  const ControlFile& control;
  const std::string& copy;  // the COPY statement
  const std::vector<std::string_view>& records;
  size_t number;  // the number in the file of records[0], from 1
  // Why each record reached so far does not fit the fields, or "": worked
  // out once, as the first COPY that takes the record makes its row.
  std::vector<std::string> fault;
  LoadTally* tally;
};

void RejectRecord(Chunk* c, size_t i, const std::string& why) {
  ++c->tally->rejected;
  c->tally->bad.append(c->records[i]).append("\r\n");
  Reject(c->run, "record " + std::to_string(c->number + i) + " of " + c->control.infile +
                     " rejected: " + why);
}

// Makes sure the faults of the records before `to` are known.
void ReachRecords(Chunk* c, size_t to) {
  for (size_t i = c->fault.size(); i < to; ++i) {
    c->fault.push_back(RecordFault(c->control, c->records[i]));
  }
}

// Records [from, to) of the chunk as one COPY. 0 when the server took them.
int CopyRange(Chunk* c, size_t from, size_t to, PgOutcome* outcome) {
  size_t next = from;
  auto produce = [&](std::string* piece) {
    for (; next < to && piece->size() < kPieceBytes; ++next) {
      ReachRecords(c, next + 1);
      if (c->fault[next].empty()) AppendCopyRow(c->control, c->records[next], piece);
    }
    return next < to;
  };
  const int rc = PgCopyRows(c->session, c->copy, produce, outcome);
  ReachRecords(c, to);  // a COPY refused before it asked for all its rows
  return rc;
}

// Records [from, to) of the chunk one by one, each under its own savepoint,
// so that only the refused ones stay out. Returns 0, or -1 with *lost when
// the session cannot go on.
int LoadRowByRow(Chunk* c, size_t from, size_t to, std::string* lost) {
  ReachRecords(c, to);
  std::vector<std::string> values;
  PgOutcome outcome;
  for (size_t i = from; i < to; ++i) {
    std::string why = c->fault[i];
    if (why.empty()) why = RecordValues(c->control, c->records[i], &values);
    if (why.empty() && PgRunLoad(c->session, values, &outcome) != 0) {
      if (outcome.lost) {
        *lost = outcome.error;
        return -1;
      }
      why = outcome.error;
    }
    if (why.empty()) {
      ++c->tally->loaded;
    } else {
      RejectRecord(c, i, why);
    }
  }
  return 0;
}

// Records [from, to) of the chunk: one COPY; a range the server refuses
// (rolled back) is halved and each half loaded the same way, down to
// ranges that go row by row. One refused record costs a few COPYs of its
// neighbours, not a row-by-row load of its chunk. Returns 0, or -1 with
// *lost when the session cannot go on.
int LoadRange(Chunk* c, size_t from, size_t to, std::string* lost) {
  if (to - from <= kRowByRowRecords) return LoadRowByRow(c, from, to, lost);
  PgOutcome outcome;
  if (CopyRange(c, from, to, &outcome) == 0) {
    for (size_t i = from; i < to; ++i) {
      if (c->fault[i].empty()) {
        ++c->tally->loaded;
      } else {
        RejectRecord(c, i, c->fault[i]);
      }
    }
    return 0;
  }
  if (outcome.lost) {
    *lost = outcome.error;
    return -1;
  }
  const size_t middle = from + (to - from) / 2;
  if (LoadRange(c, from, middle, lost) != 0) return -1;
  return LoadRange(c, middle, to, lost);
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
                      const ControlFile& control, RecordReader* reader) {
  std::string why;
  std::string insert = InsertStatement(control, &why);
  if (insert.empty()) return Refuse(run, why);
  PgSession session;
  if (PgConnectTool(run, logon, source, &session) != 0) return kToolFailed;
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
  std::vector<std::string_view> records;
  for (size_t number = 1;; number += records.size()) {
    if (reader->Next(kChunkRecords, &records) != 0) {
      return Abandon(run, &session,
                     "cannot read the data file " + control.infile + ": " + std::strerror(errno));
    }
    if (records.empty()) break;
    Chunk chunk{run, &session, control, copy, records, number, {}, &tally};
    if (LoadRange(&chunk, 0, records.size(), &why) != 0) return Abandon(run, &session, why);
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
