// Test support for the warehouse: the folder's PostgreSQL cluster (made by
// the ctest fixture in ZMO_TEST_WAREHOUSE), a database of each test's own
// copied from the warehouse r3klv, and queries of it.
#pragma once

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../standins/dbtools/dbtools_test_util.h"
#include "platform/files.h"

namespace warehouse_test {

// The record lines of a statistic data file's text (Oracle form): the
// interval lines that follow each server's records left out.
inline std::vector<std::string> StatRecordLines(const std::string& text) {
  std::vector<std::string> records;
  for (const std::string& line : zmo::SplitTextLines(text)) {
    if (line.empty() || line[0] != 'I') records.push_back(line);
  }
  return records;
}

// The rows a collection of one server loads: its records and the two
// interval lines of its batch-step and normal records.
inline size_t LoadedRows(size_t records) { return records + 2; }

// The loader's role, as scripts/warehouse.sh makes it.
constexpr const char* kUser = "zmouser";
constexpr const char* kPassword = "secret";
constexpr const char* kAdmin = "warehouse";

// The cluster's directory: the fixture links it from the build tree to a
// short path, which the socket's path needs.
inline std::string ClusterDir() {
  std::error_code ec;
  std::filesystem::path real = std::filesystem::canonical(ZMO_TEST_WAREHOUSE, ec);
  return ec ? std::string(ZMO_TEST_WAREHOUSE) : real.string();
}
inline std::string SocketDir() { return ClusterDir() + "/run"; }
// The cluster's port, "" when the fixture made no cluster.
inline std::string Port() {
  std::string text;
  if (zmo::ReadWholeFile(ClusterDir() + "/port", &text) != 0) return "";
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

using Rows = std::vector<std::vector<std::string>>;

// A connection as the administrator.
inline PGconn* ConnectAdmin(const std::string& database) {
  std::string port = Port();
  std::string socket = SocketDir();
  const char* keys[] = {"host", "port", "dbname", "user", nullptr};
  const char* values[] = {socket.c_str(), port.c_str(), database.c_str(), kAdmin, nullptr};
  return PQconnectdbParams(keys, values, 0);
}

// Runs sql; the rows of a query (a null as "<null>"). A failure is a test
// failure, and *error tells it when asked for.
inline Rows RunSql(PGconn* conn, const std::string& sql, std::string* error = nullptr) {
  Rows rows;
  PGresult* res = PQexec(conn, sql.c_str());
  ExecStatusType status = PQresultStatus(res);
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    std::string why = PQresultErrorMessage(res);
    if (error) {
      *error = why;
    } else {
      ADD_FAILURE() << sql << ": " << why;
    }
  }
  for (int r = 0; r < PQntuples(res); ++r) {
    std::vector<std::string> row;
    for (int c = 0; c < PQnfields(res); ++c) {
      row.push_back(PQgetisnull(res, r, c) ? "<null>" : PQgetvalue(res, r, c));
    }
    rows.push_back(row);
  }
  PQclear(res);
  return rows;
}

// A database of the test's own, a copy of r3klv (owned by the loader's
// role, like r3klv), dropped at the end.
class TestDatabase {
 public:
  TestDatabase() {
    static std::atomic<int> counter{0};
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    name_ = "t_" + std::to_string(getpid()) + "_" + std::to_string(counter++) + "_" +
            std::to_string(now.tv_nsec);
    PGconn* admin = ConnectAdmin("postgres");
    if (PQstatus(admin) != CONNECTION_OK) {
      error_ = PQerrorMessage(admin);
      PQfinish(admin);
      return;
    }
    RunSql(admin, "create database " + name_ + " template r3klv owner " + kUser, &error_);
    PQfinish(admin);
    if (!error_.empty()) return;
    created_ = true;
    conn_ = ConnectAdmin(name_);
    if (PQstatus(conn_) != CONNECTION_OK) error_ = PQerrorMessage(conn_);
  }
  ~TestDatabase() {
    if (conn_) PQfinish(conn_);
    if (!created_) return;
    PGconn* admin = ConnectAdmin("postgres");
    if (PQstatus(admin) == CONNECTION_OK) {
      RunSql(admin, "drop database if exists " + name_ + " with (force)");
    }
    PQfinish(admin);
  }
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  const std::string& name() const { return name_; }
  // The data source the stand-ins take for this database.
  std::string Dsn() const { return "pg:" + SocketDir() + ":" + Port() + ":" + name_; }
  // The logon of the batch lines: <user>/<password>@<data source>.
  std::string Logon() const { return std::string(kUser) + "/" + kPassword + "@" + Dsn(); }

  Rows Query(const std::string& sql) { return RunSql(conn_, sql); }
  // The one value of a query.
  std::string Value(const std::string& sql) {
    Rows rows = Query(sql);
    return rows.size() == 1 && rows[0].size() == 1 ? rows[0][0] : "<not one value>";
  }

 private:
  std::string name_;
  std::string error_;
  bool created_ = false;
  PGconn* conn_ = nullptr;
};

// The stand-ins run in this process, on a database of the test's own.
class WarehouseTest : public dbtools_test::ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    if (Port().empty()) GTEST_SKIP() << "no PostgreSQL cluster (the server programs are missing)";
    db_ = std::make_unique<TestDatabase>();
    ASSERT_TRUE(db_->ok()) << db_->error();
  }
  void TearDown() override {
    db_.reset();
    ToolTest::TearDown();
  }

  // A file of the loader's golden set for the Oracle kind, with its BinDir.
  std::string Golden(const std::string& path) {
    std::string text = dbtools_test::Read(std::string(ZMO_TEST_FIXTURES) + "/zmoloader/" + path);
    for (size_t at = text.find("@BINDIR@"); at != std::string::npos; at = text.find("@BINDIR@")) {
      text.replace(at, 8, dir_);
    }
    return text;
  }

  std::unique_ptr<TestDatabase> db_;
};

}  // namespace warehouse_test
