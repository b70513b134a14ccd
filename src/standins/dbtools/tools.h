// Internal: the pieces the stand-ins share, and each tool's entry.
#pragma once

#include <cstddef>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "dbtools/dbtools.h"

namespace zmo::dbtools {

// One call of a tool.
struct ToolRun {
  std::string tool;               // the name it was called by
  std::vector<std::string> args;  // argv after the program
  int out_fd = 1;                 // where the report goes
  bool own_out = false;           // out_fd is a log file this run opened
  int result = kToolOk;           // kToolRejected once a row or statement failed
};

// The report. OpenReport creates the log file anew and sends the report
// there; returns 0, or Refuse's code when it cannot be created.
int OpenReport(ToolRun* run, const std::string& path);
void CloseReport(ToolRun* run);
// One line of the report, ended by CR LF as the tools write text.
void Say(ToolRun* run, const std::string& line);
// Reports why the call cannot be served (also on standard error) and
// returns kToolFailed.
int Refuse(ToolRun* run, const std::string& why);
// Reports a failed row or statement; the call ends with kToolRejected.
void Reject(ToolRun* run, const std::string& why);

// Appends the call to the file of kCallLogEnv. Returns 0, or -1 with errno.
int RecordCall(const std::string& tool, const std::vector<std::string>& args);
// True when kFailEnv names the tool; *code is the exit code it asks for.
bool FailRequested(const std::string& tool, int* code);

// The lines of a text file without their LF or CR LF. Returns 0, or -1
// with errno.
int ReadLines(const std::string& path, std::vector<std::string>* lines);

// The records of a data file read, checked and loaded as one chunk.
constexpr size_t kChunkRecords = 10000;

// A data file's records read a chunk at a time, so that a file of any size
// is never held whole: its lines without their LF or CR LF, a last line
// without a line end counting, as ReadLines gives them.
class RecordReader {
 public:
  RecordReader() = default;
  ~RecordReader();
  RecordReader(const RecordReader&) = delete;
  RecordReader& operator=(const RecordReader&) = delete;

  // 0, or -1 with errno.
  int Open(const std::string& path);
  // The next records, at most n, as views that stay valid until the next
  // call; none at the end of the file. 0, or -1 with errno.
  int Next(size_t n, std::vector<std::string_view>* records);

 private:
  std::FILE* file_ = nullptr;
  std::string text_;          // the records of the chunk, one after another
  std::vector<size_t> ends_;  // where each ends in text_
  char* line_ = nullptr;      // getline's buffer
  size_t line_size_ = 0;
};
bool ReadableFile(const std::string& path);

// "<user>/<password>@<data source>", each part non-empty.
struct Logon {
  std::string user, password, source;
};
bool ParseLogon(const std::string& text, Logon* out);

// The column count of a staging table named by its letter (c, d, l, v, s)
// and the table key (digits); 0 for any other name.
size_t StagingColumnCount(const std::string& table);

// Tables a script has created, by name, with their column counts.
using TableColumns = std::map<std::string, size_t>;

// Checks each line of a delimited data file against the table's column
// count (fields separated by ","; with quoted_text, text fields in double
// quotes may hold commas and "" for a quote). Reports every rejected line,
// writes it to bad_file when one is named, and the count of loaded rows.
// Returns 0, or -1 after a Reject when the file cannot be read.
int LoadDelimited(ToolRun* run, const std::string& data_file, const std::string& table,
                  size_t columns, bool quoted_text, const std::string& bad_file);

// The statements of a script, split at ";" outside quotes, trimmed; the
// text after the last ";" in *tail (trimmed, "" when there is none).
std::vector<std::string> SplitStatements(const std::string& text, std::string* tail);
// Writes the rejected rows (each ended by CR LF) to the bad file anew.
void WriteRejectedRows(ToolRun* run, const std::string& path, const std::string& rows);
// True for a non-empty text of decimal digits.
bool AllDigits(std::string_view s);
// Lower-case copy.
std::string Lower(const std::string& s);
// The words of a statement, blanks and line ends between; a quoted text
// ('...' or "...") is one word without its quotes.
std::vector<std::string> Words(const std::string& statement);
// "create table <name> ( <columns> ) ...": the name and the number of
// column definitions (commas inside parentheses do not count). Returns
// false for any other statement.
bool ParseCreateTable(const std::string& statement, std::string* name, size_t* columns);
// A load statement of a script: the table's columns are those of the
// script's own create table, else of the staging table; a table that
// neither knows fails the statement. Then as LoadDelimited without bad file.
void LoadIntoTable(ToolRun* run, const TableColumns& created, const std::string& data_file,
                   const std::string& table, bool quoted_text);

// The tools.
int RunSqlldr(ToolRun* run);
int RunSqlplus(ToolRun* run);
int RunBcp(ToolRun* run);
int RunIsql(ToolRun* run);
int RunCorvacmd(ToolRun* run);
int RunCorva(ToolRun* run);
int RunTessel(ToolRun* run);

}  // namespace zmo::dbtools
