// The connection to a PostgreSQL warehouse, and statements run as the Oracle
// tools run them.
//
// Oracle undoes a failed statement alone and keeps the transaction's other
// work; PostgreSQL aborts the whole transaction. So every statement runs
// after a savepoint: a failure rolls back to it, success releases it. The
// transaction opens with the first statement after a commit, as Oracle's
// does, and a COMMIT or ROLLBACK in a script ends it.
#include <libpq-fe.h>

#include <string>
#include <vector>

#include "warehouse.h"

namespace zmo::dbtools {

namespace {

constexpr const char* kLoadStatement = "zmo_load";

std::string TrimmedMessage(const char* text) {
  std::string s = text ? text : "";
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

// The server's primary message for a failed result, else libpq's.
std::string ErrorOf(PGconn* conn, PGresult* res) {
  const char* primary = res ? PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
  if (primary && *primary) return primary;
  std::string text = TrimmedMessage(res ? PQresultErrorMessage(res) : nullptr);
  return text.empty() ? TrimmedMessage(PQerrorMessage(conn)) : text;
}

// Runs control statements of the guard (no result of interest).
bool Control(PGconn* conn, const char* sql) {
  PGresult* res = PQexec(conn, sql);
  bool ok = PQresultStatus(res) == PGRES_COMMAND_OK;
  PQclear(res);
  return ok;
}

void Collect(PGresult* res, PgOutcome* out) {
  out->tag = PQcmdStatus(res);
  if (PQresultStatus(res) != PGRES_TUPLES_OK) return;
  int ncols = PQnfields(res);
  for (int c = 0; c < ncols; ++c) out->columns.push_back(PQfname(res, c));
  for (int r = 0; r < PQntuples(res); ++r) {
    std::vector<std::string> row;
    for (int c = 0; c < ncols; ++c) row.push_back(PQgetvalue(res, r, c));
    out->rows.push_back(std::move(row));
  }
}

// The guard around one statement; exec sends it and returns its result.
template <typename Exec>
int Guarded(PgSession* session, PgOutcome* out, Exec exec) {
  *out = PgOutcome();
  PGconn* conn = session->conn;
  if ((PQtransactionStatus(conn) == PQTRANS_IDLE && !Control(conn, "BEGIN")) ||
      !Control(conn, "SAVEPOINT zmo_statement")) {
    out->lost = true;
    out->error = ErrorOf(conn, nullptr);
    return -1;
  }
  PGresult* res = exec(conn);
  ExecStatusType status = PQresultStatus(res);
  out->ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
  if (out->ok) {
    Collect(res, out);
  } else {
    out->error = ErrorOf(conn, res);
  }
  PQclear(res);
  switch (PQtransactionStatus(conn)) {
    case PQTRANS_INERROR:
      Control(conn, "ROLLBACK TO SAVEPOINT zmo_statement; RELEASE SAVEPOINT zmo_statement");
      break;
    case PQTRANS_INTRANS:
      Control(conn, "RELEASE SAVEPOINT zmo_statement");
      break;
    default:  // the statement ended the transaction (COMMIT, ROLLBACK), or the connection is gone
      break;
  }
  if (PQstatus(conn) != CONNECTION_OK) {
    out->ok = false;
    out->lost = true;
    if (out->error.empty()) out->error = "the connection to the warehouse is lost";
  }
  return out->ok ? 0 : -1;
}

void OnNotice(void* arg, const PGresult* res) {
  auto* session = static_cast<PgSession*>(arg);
  const char* primary = PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY);
  if (primary && session->on_notice) session->on_notice(primary);
}

}  // namespace

int PgConnect(const WarehouseSource& source, const Logon& logon, const std::string& program,
              PgSession* session, std::string* error) {
  // Every value lives as long as the call: the callers' strings and literals.
  std::vector<const char*> keys, values;
  auto add = [&](const char* key, const char* value) {
    if (!*value) return;
    keys.push_back(key);
    values.push_back(value);
  };
  add("host", source.socket_dir.c_str());
  add("port", source.port.c_str());
  add("dbname", source.database.c_str());
  add("user", logon.user.c_str());
  add("password", logon.password.c_str());
  add("client_encoding", "WIN1252");
  add("application_name", program.c_str());
  add("connect_timeout", "30");
  keys.push_back(nullptr);
  values.push_back(nullptr);
  PGconn* conn = PQconnectdbParams(keys.data(), values.data(), 0);
  if (PQstatus(conn) != CONNECTION_OK) {
    *error = TrimmedMessage(PQerrorMessage(conn));
    PQfinish(conn);
    return -1;
  }
  session->conn = conn;
  PQsetNoticeReceiver(conn, OnNotice, session);
  return 0;
}

int PgConnectTool(ToolRun* run, const Logon& logon, const WarehouseSource& source,
                  PgSession* session) {
  std::string why;
  if (PgConnect(source, logon, run->tool, session, &why) != 0) {
    return Refuse(run, "cannot connect to " + logon.source + " as " + logon.user + ": " + why);
  }
  Say(run, run->tool + ": connected to " + logon.source + " as " + logon.user);
  return 0;
}

void PgDisconnect(PgSession* session) {
  if (session->conn) PQfinish(session->conn);
  session->conn = nullptr;
}

int PgRunStatement(PgSession* session, const std::string& sql, PgOutcome* out) {
  // The extended protocol takes one statement only, as the Oracle tools do:
  // text that holds two is refused rather than run as two.
  return Guarded(session, out, [&](PGconn* conn) {
    return PQexecParams(conn, sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0);
  });
}

int PgPrepareLoad(PgSession* session, const std::string& sql, int n, std::string* error) {
  PGresult* res = PQprepare(session->conn, kLoadStatement, sql.c_str(), n, nullptr);
  bool ok = PQresultStatus(res) == PGRES_COMMAND_OK;
  if (!ok) *error = ErrorOf(session->conn, res);
  PQclear(res);
  return ok ? 0 : -1;
}

int PgRunLoad(PgSession* session, const std::vector<std::string>& values, PgOutcome* out) {
  std::vector<const char*> params;
  for (const std::string& v : values) params.push_back(v.c_str());
  return Guarded(session, out, [&](PGconn* conn) {
    return PQexecPrepared(conn, kLoadStatement, static_cast<int>(params.size()), params.data(),
                          nullptr, nullptr, 0);
  });
}

int PgCopyRows(PgSession* session, const std::string& sql, const CopyProducer& produce,
               PgOutcome* out) {
  return Guarded(session, out, [&](PGconn* conn) {
    PGresult* res = PQexec(conn, sql.c_str());
    if (PQresultStatus(res) != PGRES_COPY_IN) return res;  // refused: its error is the outcome
    PQclear(res);
    // The rows go out piece by piece as they are made, so that the server
    // works on one piece while the next is made. A failed send leaves the
    // copy to end with an error result below.
    std::string piece;
    bool more = true, sent = true;
    while (more && sent) {
      piece.clear();
      more = produce(&piece);
      sent =
          piece.empty() || PQputCopyData(conn, piece.data(), static_cast<int>(piece.size())) == 1;
    }
    PQputCopyEnd(conn, sent ? nullptr : "the rows could not be sent");
    res = PQgetResult(conn);
    while (PGresult* more_results = PQgetResult(conn)) PQclear(more_results);
    return res;
  });
}

int PgEndTransaction(PgSession* session, bool commit, std::string* error) {
  PGconn* conn = session->conn;
  if (PQtransactionStatus(conn) == PQTRANS_IDLE) return 0;
  PGresult* res = PQexec(conn, commit ? "COMMIT" : "ROLLBACK");
  // A COMMIT of a failed transaction answers ROLLBACK: that is no commit.
  bool ok = PQresultStatus(res) == PGRES_COMMAND_OK &&
            std::string(PQcmdStatus(res)) == (commit ? "COMMIT" : "ROLLBACK");
  if (!ok) *error = ErrorOf(conn, res);
  if (!ok && error->empty()) *error = "the transaction was rolled back";
  PQclear(res);
  return ok ? 0 : -1;
}

}  // namespace zmo::dbtools
